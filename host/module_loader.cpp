#include "host/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "host/host_error.h"

namespace kestrova::host {
namespace {

template <typename Pfn>
void Resolve(void* library, const std::string& path, const char* name, Pfn& target) {
    void* symbol = dlsym(library, name);
    if (!symbol) throw HostError("the module " + path + " has no entry point " + name);
    target = reinterpret_cast<Pfn>(symbol);
}

}  // namespace

LoadedModule::LoadedModule(const std::string& path) : path_(path) {
    library_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library_) {
        const char* reason = dlerror();
        throw HostError("cannot load the module " + path + ": " +
                        (reason ? reason : "unknown error"));
    }
    try {
#define KESTROVA_RESOLVE(name) Resolve(library_, path_, #name, entries_.name)
        KESTROVA_RESOLVE(SetStartupInfo);
        KESTROVA_RESOLVE(GetPluginInfo);
        KESTROVA_RESOLVE(OpenPlugin);
        KESTROVA_RESOLVE(OpenFilePlugin);
        KESTROVA_RESOLVE(ClosePlugin);
        KESTROVA_RESOLVE(GetOpenPluginInfo);
        KESTROVA_RESOLVE(GetFindData);
        KESTROVA_RESOLVE(FreeFindData);
        KESTROVA_RESOLVE(GetFiles);
        KESTROVA_RESOLVE(PutFiles);
        KESTROVA_RESOLVE(SetDirectory);
        KESTROVA_RESOLVE(MakeDirectory);
        KESTROVA_RESOLVE(DeleteFiles);
        KESTROVA_RESOLVE(ProcessKey);
        KESTROVA_RESOLVE(ProcessEvent);
        KESTROVA_RESOLVE(Configure);
        KESTROVA_RESOLVE(ExitFAR);
#undef KESTROVA_RESOLVE
    } catch (...) {
        dlclose(library_);
        throw;
    }
}

LoadedModule::~LoadedModule() {
    dlclose(library_);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string DefaultModulePath() {
    if (const char* configured = std::getenv("KESTROVA_MODULE"); configured && *configured)
        return configured;
    std::vector<char> buffer(4096);
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (length <= 0) return "kestrova.so";
    const std::string programFolder =
        FolderOf(std::string(buffer.data(), static_cast<size_t>(length)));
    // Built: beside the program; installed: PREFIX/bin/kestrova and PREFIX/lib/kestrova/.
    const std::string beside = programFolder + "/kestrova.so";
    const std::string installed = programFolder + "/../lib/kestrova/kestrova.so";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed
                                                                                     : beside;
}

std::string LanguageFolder(const std::string& modulePath) {
    const std::string beside = FolderOf(modulePath) + "/lang";
    const std::string installed = FolderOf(modulePath) + "/../../share/kestrova/lang";
    return access(beside.c_str(), F_OK) != 0 && access(installed.c_str(), F_OK) == 0 ? installed
                                                                                     : beside;
}

}  // namespace kestrova::host
