// The module's options: one global record, loaded at start-up and saved one section at a time
// when its configuration dialog is accepted. They live in the settings store under OptionsKey,
// one subkey per section, texts as strings and integers as decimal text.
#pragma once

#include <string>

#include "common/url.h"
#include "ui/account_options.h"

namespace kestrova {

// Commands the session sends ahead of their replies (the "Pipeline depth" option).
inline constexpr int kDefaultPipelineDepth = 64;
inline constexpr int kMaxPipelineDepth = 1024;

// A depth brought into 1..kMaxPipelineDepth.
int ClampPipelineDepth(int depth);

// MiB of viewed and copied articles kept for reading offline (the "Article cache" option).
inline constexpr int kDefaultArticleCache = 16;

// The newest articles a group's first entry lists (the "Headers on first entry" option).
inline constexpr int kDefaultHeadersOnFirstEntry = 5000;

// The quote character when none is stored or the field is emptied.
inline constexpr char kDefaultQuoteChar = '>';
inline constexpr const char* kDefaultSignatureFile = "~/.signature";

struct TConnectOptions {
    std::string LogFile;
    int CreateLog = 0;
    int LogLevel = 0;       // lines of level 0..LogLevel are written
    int ServerTimeout = 0;  // in units of 2 seconds; 0: none
    int RetryCount = 0;
    int CacheLife = 0;                          // hours; 0: nothing expires
    int PipelineDepth = kDefaultPipelineDepth;  // 1: one command at a time
    int ArticleSizeLimit = 0;                   // MiB an article may take; 0: no limit
    int UseOverview = 1;                        // list a group by OVER when the server offers it
    // The most articles a group's first entry lists, the newest; 0: all.
    int HeadersOnFirstEntry = kDefaultHeadersOnFirstEntry;
    int Compression = 1;                      // COMPRESS DEFLATE when the server offers it
    int ArticleCache = kDefaultArticleCache;  // MiB of articles kept for reading offline
};

struct TProxyOptions {
    TUrlComponents Url;
    int Reserved = 0;  // not stored; 0 after every load
    int Socks5 = 0;    // SOCKS 5 when non-zero, else SOCKS 4
};

struct TTemplatesOptions {
    char QuoteChar = kDefaultQuoteChar;
    std::string NewTemplate;
    std::string ReplyTemplate;
    std::string DownloadTemplate;
    std::string SignatureFile;  // appended after "-- " to new articles and replies; "~/" is $HOME
    int SaveWithLf = 0;         // copied articles get LF line ends instead of the server's CR LF
};

struct TPluginOptions {
    int AddToDisksMenu = 0;
    int DiskMenuNumber = 0;
    int ConnectAsDefault = 0;
    int ShowPrivateHosts = 0;
    int ReplaceModes = 0;
    int SoundAlert = 0;
    int CopyPasswords = 0;  // read, never written
    TConnectOptions Connect;
    TProxyOptions Proxy;
    TAccountOptions Default;
    TTemplatesOptions Templates;
};

extern TPluginOptions Options;

// The panel's column layout in the host's column-description syntax.
inline constexpr const char* kDefaultColumnTypes = "N,S,C0";
inline constexpr const char* kDefaultColumnWidths = "0,10,10";
inline constexpr const char* kDefaultStatusTypes = "C2,S,D,T";
inline constexpr const char* kDefaultStatusWidths = "0,8,0,5";
extern std::string ColumnTypes;
extern std::string ColumnWidths;
extern std::string StatusTypes;
extern std::string StatusWidths;

// Each reads its section into Options; missing values read as their defaults.
void LoadInterfaceOptions();  // "INTERFACE", with the column layout
void LoadConnectOptions();    // "CONNECTION"
void LoadDefaultOptions();    // "DEFAULT": the character table is looked up among the slots
void LoadProxyOptions();      // "PROXY"
void LoadTemplatesOptions();  // "TEMPLATES"

// Each writes every value of its section; a store failure raises ERegistryError.
void SaveInterfaceOptions();
void SaveConnectOptions();
void SaveDefaultOptions();
void SaveProxyOptions();
void SaveTemplatesOptions();

// Start-up loading in its fixed order: INTERFACE, CONNECTION, DEFAULT, PROXY, the character-set
// slots, TEMPLATES. The default account's character table is therefore resolved among the
// built-in slots.
void LoadAllOptions();

}  // namespace kestrova
