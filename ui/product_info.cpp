#include "ui/product_info.h"

namespace kestrova {
namespace {

TStringList BuildProductInfo() {
    TStringList lines;
    for (const char* line : {
             "Tarnwick for FAR manger",
             "Kestrova, plugin version 1.0.b8",
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
