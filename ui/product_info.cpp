#include "ui/product_info.h"

#include <string>

namespace kestrova {

const char* const kProductVersion = KESTROVA_VERSION;

namespace {

TStringList BuildProductInfo() {
    TStringList lines;
    const std::string version = std::string(kProductName) + ", plugin version " + kProductVersion;
    for (const char* line : {
             "Tarnwick for FAR manger",
             version.c_str(),
             "-",
             "Special thanks to:",
             "  the authors of the network news standards,",
             "  the operators of public news servers,",
             "  everyone who tested the beta versions",
             "  and reported what went wrong.",
             "-",
             "Reads and posts Usenet news over NNTP,",
             "directly or through a SOCKS 4/5 proxy.",
             "Free to use; no warranty of any kind.",
         })
        lines.Add(line);
    return lines;
}

}  // namespace

TStringList ProductInfo = BuildProductInfo();

}  // namespace kestrova
