// The host's plugin interface: record types, the service table and constants, as the module and
// the host use them. Sizes are ours; every StructSize check uses sizeof.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__GNUC__)
#define KESTROVA_EXPORT extern "C" __attribute__((visibility("default")))
#else
#define KESTROVA_EXPORT extern "C"
#endif

using HANDLE = void*;
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1)))

constexpr int NM = 260;  // longest file name the host's records carry, with its NUL

// ---- Time and find data --------------------------------------------------------------------

struct FILETIME {
    uint32_t dwLowDateTime;
    uint32_t dwHighDateTime;
};

struct SYSTEMTIME {
    uint16_t wYear;
    uint16_t wMonth;
    uint16_t wDayOfWeek;
    uint16_t wDay;
    uint16_t wHour;
    uint16_t wMinute;
    uint16_t wSecond;
    uint16_t wMilliseconds;
};

constexpr uint32_t FILE_ATTRIBUTE_READONLY = 0x01;
constexpr uint32_t FILE_ATTRIBUTE_HIDDEN = 0x02;
constexpr uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;

struct FAR_FIND_DATA {
    uint32_t dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    uint32_t nFileSizeHigh;
    uint32_t nFileSizeLow;
    uint32_t dwReserved0;
    uint32_t dwReserved1;
    char cFileName[NM];
    char cAlternateFileName[14];
};
using WIN32_FIND_DATA = FAR_FIND_DATA;

// ---- Panel items -----------------------------------------------------------------------------

constexpr uint32_t PPIF_PROCESSDESCR = 0x80000000u;
constexpr uint32_t PPIF_SELECTED = 0x40000000u;
constexpr uint32_t PPIF_USERDATA = 0x20000000u;
// Our own: the item is new to the user (an unread article, a group with unread articles); the
// host draws it in a colour of its own and a script transcript marks it.
constexpr uint32_t PPIF_UNREAD = 0x10000000u;

struct PluginPanelItem {
    FAR_FIND_DATA FindData;
    uint32_t PackSizeHigh;
    uint32_t PackSize;
    uint32_t Flags;
    uint32_t NumberOfLinks;
    char* Description;
    char* Owner;
    char** CustomColumnData;
    int CustomColumnNumber;
    intptr_t UserData;
    uint32_t CRC32;
    intptr_t Reserved[2];
};

// ---- Plugin information ----------------------------------------------------------------------

constexpr uint32_t PF_PRELOAD = 0x0001;
constexpr uint32_t PF_DISABLEPANELS = 0x0002;
constexpr uint32_t PF_EDITOR = 0x0004;
constexpr uint32_t PF_VIEWER = 0x0008;

struct PluginInfo {
    int StructSize;
    uint32_t Flags;
    const char* const* DiskMenuStrings;
    int* DiskMenuNumbers;
    int DiskMenuStringsNumber;
    const char* const* PluginMenuStrings;
    int PluginMenuStringsNumber;
    const char* const* PluginConfigStrings;
    int PluginConfigStringsNumber;
    // The command-line prefixes the module takes, several separated by ':' ("news:nntps").
    // OPEN_COMMANDLINE hands over what follows the prefix and its colon when there is one
    // prefix, and the whole command line when there are several.
    const char* CommandPrefix;
    uint32_t Reserved;
};

struct InfoPanelLine {
    char Text[80];
    char Data[80];
    int Separator;
};

struct PanelMode {
    const char* ColumnTypes;
    const char* ColumnWidths;
    const char* const* ColumnTitles;
    int FullScreen;
    int DetailedStatus;
    int AlignExtensions;
    int CaseConversion;
    const char* StatusColumnTypes;
    const char* StatusColumnWidths;
    uint32_t Reserved[2];
};

// Twelve labels for each of the plain, Ctrl, Alt, Shift, Ctrl+Shift, Alt+Shift and Ctrl+Alt rows.
struct KeyBarTitles {
    char* Titles[12];
    char* CtrlTitles[12];
    char* AltTitles[12];
    char* ShiftTitles[12];
    char* CtrlShiftTitles[12];
    char* AltShiftTitles[12];
    char* CtrlAltTitles[12];
};

// Sort modes of a panel (StartSortMode); SM_DEFAULT keeps the host's own order.
enum {
    SM_DEFAULT = 0,
    SM_UNSORTED = 1,
    SM_NAME = 2,
    SM_EXT = 3,
    SM_MTIME = 4,
    SM_CTIME = 5,
    SM_ATIME = 6,
    SM_SIZE = 7,
};

constexpr uint32_t OPIF_USEFILTER = 0x0001;
constexpr uint32_t OPIF_USESORTGROUPS = 0x0002;
constexpr uint32_t OPIF_USEHIGHLIGHTING = 0x0004;
constexpr uint32_t OPIF_ADDDOTS = 0x0008;
constexpr uint32_t OPIF_RAWSELECTION = 0x0010;
constexpr uint32_t OPIF_REALNAMES = 0x0020;
constexpr uint32_t OPIF_SHOWNAMESONLY = 0x0040;
constexpr uint32_t OPIF_SHOWRIGHTALIGNNAMES = 0x0080;
constexpr uint32_t OPIF_SHOWPRESERVECASE = 0x0100;
constexpr uint32_t OPIF_FINDFOLDERS = 0x0200;
constexpr uint32_t OPIF_COMPAREFATTIME = 0x0400;
constexpr uint32_t OPIF_EXTERNALGET = 0x0800;
constexpr uint32_t OPIF_EXTERNALPUT = 0x1000;
constexpr uint32_t OPIF_EXTERNALDELETE = 0x2000;
constexpr uint32_t OPIF_EXTERNALMKDIR = 0x4000;
constexpr uint32_t OPIF_USEATTRHIGHLIGHTING = 0x8000;

struct OpenPluginInfo {
    int StructSize;
    uint32_t Flags;
    const char* HostFile;
    const char* CurDir;
    const char* Format;
    const char* PanelTitle;
    const InfoPanelLine* InfoLines;
    int InfoLinesNumber;
    const char* const* DescrFiles;
    int DescrFilesNumber;
    const PanelMode* PanelModesArray;
    int PanelModesNumber;
    int StartPanelMode;
    int StartSortMode;
    int StartSortOrder;
    const KeyBarTitles* KeyBar;
    const char* ShortcutData;
    long Reserved;
};

// ---- Panel control ---------------------------------------------------------------------------

enum {
    FCTL_CLOSEPLUGIN = 0,
    FCTL_GETPANELINFO = 1,
    FCTL_GETANOTHERPANELINFO = 2,
    FCTL_UPDATEPANEL = 3,
    FCTL_UPDATEANOTHERPANEL = 4,
    FCTL_REDRAWPANEL = 5,
    FCTL_REDRAWANOTHERPANEL = 6,
    FCTL_SETANOTHERPANELDIR = 7,
    FCTL_GETCMDLINE = 8,
    FCTL_SETCMDLINE = 9,
    FCTL_SETSELECTION = 10,
    FCTL_SETANOTHERSELECTION = 11,
    FCTL_SETVIEWMODE = 12,
    FCTL_SETANOTHERVIEWMODE = 13,
    FCTL_INSERTCMDLINE = 14,
};

enum { PTYPE_FILEPANEL = 0, PTYPE_TREEPANEL = 1, PTYPE_QVIEWPANEL = 2, PTYPE_INFOPANEL = 3 };

struct PanelInfo {
    int PanelType;
    int Plugin;
    int PanelRect[4];
    PluginPanelItem* PanelItems;
    int ItemsNumber;
    PluginPanelItem* SelectedItems;
    int SelectedItemsNumber;
    int CurrentItem;
    int TopPanelItem;
    int Visible;
    int Focus;
    int ViewMode;
    char ColumnTypes[80];
    char ColumnWidths[80];
    char CurDir[NM];
    int ShortNames;
    int SortMode;
    uint32_t Flags;
    uint32_t Reserved;
};

struct PanelRedrawInfo {
    int CurrentItem;
    int TopPanelItem;
};

// ---- Menus, messages, dialogs ----------------------------------------------------------------

constexpr unsigned FMSG_WARNING = 0x0001;
constexpr unsigned FMSG_ERRORTYPE = 0x0002;
constexpr unsigned FMSG_KEEPBACKGROUND = 0x0004;
constexpr unsigned FMSG_DOWN = 0x0008;
constexpr unsigned FMSG_LEFTALIGN = 0x0010;

constexpr unsigned FMENU_SHOWAMPERSAND = 0x0001;
constexpr unsigned FMENU_WRAPMODE = 0x0002;
constexpr unsigned FMENU_AUTOHIGHLIGHT = 0x0004;
constexpr unsigned FMENU_REVERSEAUTOHIGHLIGHT = 0x0008;

struct FarMenuItem {
    char Text[128];
    int Selected;
    int Checked;
    int Separator;
};

enum {
    DI_TEXT = 0,
    DI_VTEXT = 1,
    DI_SINGLEBOX = 2,
    DI_DOUBLEBOX = 3,
    DI_EDIT = 4,
    DI_PSWEDIT = 5,
    DI_FIXEDIT = 6,
    DI_BUTTON = 7,
    DI_CHECKBOX = 8,
    DI_RADIOBUTTON = 9,
};

constexpr uint32_t DIF_BOXCOLOR = 0x00000200;
constexpr uint32_t DIF_GROUP = 0x00000400;
constexpr uint32_t DIF_LEFTTEXT = 0x00000800;
constexpr uint32_t DIF_MOVESELECT = 0x00001000;
constexpr uint32_t DIF_SHOWAMPERSAND = 0x00002000;
constexpr uint32_t DIF_CENTERGROUP = 0x00004000;
constexpr uint32_t DIF_NOBRACKETS = 0x00008000;
constexpr uint32_t DIF_SEPARATOR = 0x00010000;
constexpr uint32_t DIF_HISTORY = 0x00040000;

struct FarDialogItem {
    int Type;
    int X1, Y1, X2, Y2;
    int Focus;
    union {
        int Selected;
        const char* History;
    };
    uint32_t Flags;
    int DefaultButton;
    char Data[512];
};

// ---- Host version ----------------------------------------------------------------------------

// ACTL_GETFARVERSION: param points to an int that receives the version (low word).
enum { ACTL_GETFARVERSION = 0 };

// ---- Open modes and events -------------------------------------------------------------------

enum {
    OPEN_DISKMENU = 0,
    OPEN_PLUGINSMENU = 1,
    OPEN_FINDLIST = 2,
    OPEN_SHORTCUT = 3,
    OPEN_COMMANDLINE = 4,
    OPEN_EDITOR = 5,
    OPEN_VIEWER = 6,
};

constexpr int OPM_SILENT = 0x0001;
constexpr int OPM_FIND = 0x0002;
constexpr int OPM_VIEW = 0x0004;
constexpr int OPM_EDIT = 0x0008;
constexpr int OPM_TOPLEVEL = 0x0010;
constexpr int OPM_DESCR = 0x0020;

enum {
    FE_CHANGEVIEWMODE = 0,
    FE_REDRAW = 1,
    FE_IDLE = 2,
    FE_CLOSE = 3,
    FE_BREAK = 4,
    FE_COMMAND = 5,
};

// ---- Keys ------------------------------------------------------------------------------------

// Control states handed to ProcessKey.
constexpr unsigned PKF_CONTROL = 0x0001;
constexpr unsigned PKF_ALT = 0x0002;
constexpr unsigned PKF_SHIFT = 0x0004;
constexpr unsigned PKF_PREPROCESS = 0x00080000;

// Virtual-key codes.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;

constexpr int VK_MULTIPLY = 0x6A;  // the gray keys of the numeric keypad
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;

// Console input records: the event types, the control key states of a key event, and the
// buttons and flags of a mouse event.
constexpr uint16_t KEY_EVENT = 0x0001;
constexpr uint16_t MOUSE_EVENT = 0x0002;
constexpr uint16_t WINDOW_BUFFER_SIZE_EVENT = 0x0004;
constexpr uint32_t RIGHT_ALT_PRESSED = 0x0001;
constexpr uint32_t LEFT_ALT_PRESSED = 0x0002;
constexpr uint32_t RIGHT_CTRL_PRESSED = 0x0004;
constexpr uint32_t LEFT_CTRL_PRESSED = 0x0008;
constexpr uint32_t SHIFT_PRESSED = 0x0010;
constexpr uint32_t FROM_LEFT_1ST_BUTTON_PRESSED = 0x0001;
constexpr uint32_t RIGHTMOST_BUTTON_PRESSED = 0x0002;
constexpr uint32_t FROM_LEFT_2ND_BUTTON_PRESSED = 0x0004;
constexpr uint32_t DOUBLE_CLICK = 0x0002;
constexpr uint32_t MOUSE_WHEELED = 0x0004;

// ---- Viewer and editor -----------------------------------------------------------------------

constexpr unsigned VF_NONMODAL = 0x0001;
constexpr unsigned EF_NONMODAL = 0x0001;

// Our own extension: a viewer that hands the module the keys it does not use itself, so that a
// module can page through documents (next, previous, reply) without a viewer of its own.
//
// ViewerWithKeys shows the file as Viewer does, with the module's labels of keys over the
// viewer's own in its key bar, and calls ProcessKey (with Param, the virtual-key code, letters as
// their upper-case ASCII, and the PKF_* control state) for every key the viewer itself does not
// take, and for Space once the end of the file is on screen (before that, Space pages down).
// ProcessKey answers VKH_UNUSED (the viewer ignores the key) or VKH_CLOSE (the viewer closes and
// ViewerWithKeys returns; the module knows from its own state which key it was). A host without
// the service leaves the field null (its StructSize ends before it): use Viewer then.
enum { VKH_UNUSED = 0, VKH_CLOSE = 1 };
using FARAPIVIEWERKEY = int (*)(void* param, int key, unsigned controlState);
struct ViewerKeys {
    int StructSize;
    const char* const* Labels;  // twelve labels for F1 to F12, null or "" keeps the viewer's own
    FARAPIVIEWERKEY ProcessKey;
    void* Param;
};

// ---- Standard functions ----------------------------------------------------------------------

struct FarStandardFunctions {
    int StructSize;
    // Wildcard match of the host; skipPath non-zero matches the name part only.
    int (*CmpName)(const char* pattern, const char* string, int skipPath);
    // Upper/lower case of OEM text, as the host's panels sort.
    int (*LUpper)(int ch);
    int (*LLower)(int ch);
    // Copies text to the host's clipboard; non-zero on success.
    int (*CopyToClipboard)(const char* data);
    // Returns a clipboard text that FreeClipboardData frees, or null.
    char* (*PasteFromClipboard)();
    void (*FreeClipboardData)(char* data);
};

// ---- Character tables ------------------------------------------------------------------------

// One character set the host converts to and from the OEM code page.
struct CharTableSet {
    unsigned char DecodeTable[256];  // set -> OEM
    unsigned char EncodeTable[256];  // OEM -> set
    unsigned char UpperTable[256];
    unsigned char LowerTable[256];
    char TableName[128];
};

// ---- The service table -----------------------------------------------------------------------

using FARAPIMENU = int (*)(intptr_t moduleNumber, int x, int y, int maxHeight, unsigned flags,
                           const char* title, const char* bottom, const char* helpTopic,
                           const int* breakKeys, int* breakCode, const FarMenuItem* item,
                           int itemsNumber);
using FARAPIDIALOG = int (*)(intptr_t moduleNumber, int x1, int y1, int x2, int y2,
                             const char* helpTopic, FarDialogItem* item, int itemsNumber);
using FARAPIMESSAGE = int (*)(intptr_t moduleNumber, unsigned flags, const char* helpTopic,
                              const char* const* items, int itemsNumber, int buttonsNumber);
using FARAPIGETMSG = const char* (*)(intptr_t moduleNumber, int msgId);
using FARAPICONTROL = int (*)(HANDLE plugin, int command, void* param);
using FARAPISAVESCREEN = HANDLE (*)(int x1, int y1, int x2, int y2);
using FARAPIRESTORESCREEN = void (*)(HANDLE screen);
using FARAPIGETDIRLIST = int (*)(const char* dir, PluginPanelItem** items, int* itemsNumber);
using FARAPIGETPLUGINDIRLIST = int (*)(intptr_t moduleNumber, HANDLE plugin, const char* dir,
                                       PluginPanelItem** items, int* itemsNumber);
using FARAPIFREEDIRLIST = void (*)(const PluginPanelItem* items);
// charset: the MIME name of the character set the file is in (an article's own), null for the
// OEM code page.
using FARAPIVIEWER = int (*)(const char* fileName, const char* title, int x1, int y1, int x2,
                             int y2, unsigned flags, const char* charset);
using FARAPIEDITOR = int (*)(const char* fileName, const char* title, int x1, int y1, int x2,
                             int y2, unsigned flags, int startLine, int startChar);
using FARAPICMPNAME = int (*)(const char* pattern, const char* string, int skipPath);
// Fills the CharTableSet in buffer for table number n; returns a non-negative value, or a
// negative one when the host has no table n.
using FARAPICHARTABLE = int (*)(int n, char* buffer, int bufferSize);
using FARAPITEXT = void (*)(int x, int y, int color, const char* str);
using FARAPIADVCONTROL = intptr_t (*)(intptr_t moduleNumber, int command, void* param);
// Returns 1 when the file was shown, 0 when it could not be read (see ViewerKeys).
using FARAPIVIEWERWITHKEYS = int (*)(const char* fileName, const char* title, const char* charset,
                                     const ViewerKeys* keys);

struct PluginStartupInfo {
    int StructSize;
    char ModuleName[NM];
    intptr_t ModuleNumber;
    const char* RootKey;
    FARAPIMENU Menu;
    FARAPIDIALOG Dialog;
    FARAPIMESSAGE Message;
    FARAPIGETMSG GetMsg;
    FARAPICONTROL Control;
    FARAPISAVESCREEN SaveScreen;
    FARAPIRESTORESCREEN RestoreScreen;
    FARAPIGETDIRLIST GetDirList;
    FARAPIGETPLUGINDIRLIST GetPluginDirList;
    FARAPIFREEDIRLIST FreeDirList;
    FARAPIVIEWER Viewer;
    FARAPIEDITOR Editor;
    FARAPICMPNAME CmpName;
    FARAPICHARTABLE CharTable;
    FARAPITEXT Text;
    FARAPIADVCONTROL AdvControl;
    const FarStandardFunctions* FSF;
    FARAPIVIEWERWITHKEYS ViewerWithKeys;  // our own; see ViewerKeys
};

// Size of the service table without AdvControl and FSF: a host that stops there is an old one,
// and its StructSize is what the module takes as the host version.
constexpr int kStartupInfoSizeWithoutAdvControl =
    static_cast<int>(offsetof(PluginStartupInfo, AdvControl));

// ---- Entry points ----------------------------------------------------------------------------

KESTROVA_EXPORT void SetStartupInfo(const PluginStartupInfo* info);
KESTROVA_EXPORT void GetPluginInfo(PluginInfo* info);
KESTROVA_EXPORT HANDLE OpenPlugin(int openFrom, intptr_t item);
KESTROVA_EXPORT HANDLE OpenFilePlugin(const char* name, const unsigned char* data, int dataSize);
KESTROVA_EXPORT void ClosePlugin(HANDLE plugin);
KESTROVA_EXPORT void GetOpenPluginInfo(HANDLE plugin, OpenPluginInfo* info);
KESTROVA_EXPORT int GetFindData(HANDLE plugin, PluginPanelItem** items, int* itemsNumber,
                                int opMode);
KESTROVA_EXPORT void FreeFindData(HANDLE plugin, PluginPanelItem* items, int itemsNumber);
KESTROVA_EXPORT int GetFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int move,
                             char* destPath, int opMode);
KESTROVA_EXPORT int PutFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int move,
                             int opMode);
KESTROVA_EXPORT int SetDirectory(HANDLE plugin, const char* dir, int opMode);
KESTROVA_EXPORT int MakeDirectory(HANDLE plugin, char* name, int opMode);
KESTROVA_EXPORT int DeleteFiles(HANDLE plugin, PluginPanelItem* items, int itemsNumber, int opMode);
KESTROVA_EXPORT int ProcessKey(HANDLE plugin, int key, unsigned controlState);
KESTROVA_EXPORT int ProcessEvent(HANDLE plugin, int event, void* param);
KESTROVA_EXPORT int Configure(int itemNumber);
KESTROVA_EXPORT void ExitFAR();

// The same entry points as function-pointer types, for the host's loader.
using PFN_SetStartupInfo = decltype(&SetStartupInfo);
using PFN_GetPluginInfo = decltype(&GetPluginInfo);
using PFN_OpenPlugin = decltype(&OpenPlugin);
using PFN_OpenFilePlugin = decltype(&OpenFilePlugin);
using PFN_ClosePlugin = decltype(&ClosePlugin);
using PFN_GetOpenPluginInfo = decltype(&GetOpenPluginInfo);
using PFN_GetFindData = decltype(&GetFindData);
using PFN_FreeFindData = decltype(&FreeFindData);
using PFN_GetFiles = decltype(&GetFiles);
using PFN_PutFiles = decltype(&PutFiles);
using PFN_SetDirectory = decltype(&SetDirectory);
using PFN_MakeDirectory = decltype(&MakeDirectory);
using PFN_DeleteFiles = decltype(&DeleteFiles);
using PFN_ProcessKey = decltype(&ProcessKey);
using PFN_ProcessEvent = decltype(&ProcessEvent);
using PFN_Configure = decltype(&Configure);
using PFN_ExitFAR = decltype(&ExitFAR);
