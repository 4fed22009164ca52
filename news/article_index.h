// The article index of a group: header records cached under the group's name, built by walking
// the group the first time and extended with NEWNEWS afterwards (the in-group state of
// TNewsInternetManager).
#pragma once

#include <string>

#include "hostapi/plugin_api.h"
#include "news/article_header.h"

namespace kestrova {

class TNewsInternetManager;

// The articles of group into a new array: the cached index (records marked for refresh read
// again first), then, when the manager's UpdateGroup is set, the articles that are new on the
// server: the whole group walked with HEAD and NEXT when there is no index, else those that
// NEWNEWS names since the index's stamp. Records read before a failure are kept, listed and
// stored; then the failure is passed on: EInternetError ("SendCommand" for a refused NEWNEWS,
// "ReadHeader", "WalkGroup"), the socket's failures, EUserAbort.
void GetArticlesInfo(TNewsInternetManager& manager, const std::string& group,
                     PluginPanelItem*& items, int& count);
// Sends HEAD for record's MessageId (the current article when it has none) and fills record
// from the reply. An article asked for by its identifier gets its number in the current group
// from its Xref header (or keeps the number it had). Returns 1 when the header was read, 0 when
// the article does not exist (420, 423, 430), -1 for another accepted status. Raises
// EInternetError ("ReadHeader") for an error status and ESocketError ("ReadHeader") when the
// connection ends inside the header.
int ReadHeader(TNewsInternetManager& manager, TArticleHeader& record);
// The same for the article which names: a number in the current group or an identifier.
int ReadHeader(TNewsInternetManager& manager, TArticleHeader& record, const std::string& which);
// Marks every record of the current group's cached index to be read again.
void MarkArticlesForRefresh(TNewsInternetManager& manager);

}  // namespace kestrova
