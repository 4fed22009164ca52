// The number of every text of the language files (lang/*.lng), one name per number. The files
// hold the texts in number order; tests/lang/check_lng.py checks this list against them.
#pragma once

namespace kestrova {

// The empty text: disabled key-bar labels, unset dialog items.
inline constexpr int kMsgEmpty = 0;

// Buttons.
inline constexpr int kMsgOk = 1;
inline constexpr int kMsgCancel = 2;
inline constexpr int kMsgRetry = 3;
inline constexpr int kMsgDeleteButton = 9;
inline constexpr int kMsgSkip = 10;
inline constexpr int kMsgOverwrite = 11;
inline constexpr int kMsgSave = 12;
inline constexpr int kMsgStop = 13;
inline constexpr int kMsgAnonymous = 14;
inline constexpr int kMsgConnect = 15;

// Connection and listing status.
inline constexpr int kMsgConnecting = 16;
inline constexpr int kMsgConnected = 17;
inline constexpr int kMsgEnteringGroup = 19;

// Store folders and account files.
inline constexpr int kMsgFolderPrompt = 21;
inline constexpr int kMsgNoFolder = 22;      // %s folder
inline constexpr int kMsgCannotCreate = 23;  // %s folder
inline constexpr int kMsgPleaseWait = 24;
inline constexpr int kMsgNoItemInFile = 25;  // %s file path
inline constexpr int kMsgPlaceholder = 26;
inline constexpr int kMsgPluginStore = 27;
inline constexpr int kMsgPrivateStore = 28;

inline constexpr int kMsgUserName = 29;
inline constexpr int kMsgPassword = 30;
inline constexpr int kMsgCharacterSet = 31;
inline constexpr int kMsgMenuEntry = 32;

// Key bar in a group: the thread view on and off (F12), select the current thread (Shift-F12).
inline constexpr int kMsgKeyThreadView = 33;
inline constexpr int kMsgKeySelectThread = 34;

// Working offline: the word the panel title adds, the error of an action that needs the server,
// the offer when the server cannot be reached (the failure comes first) and its button.
inline constexpr int kMsgOffline = 35;
inline constexpr int kMsgNeedsServer = 36;
inline constexpr int kMsgOfferOffline = 37;
inline constexpr int kMsgWorkOffline = 38;  // button

// The overwrite question.
inline constexpr int kMsgAlreadyExists = 39;
inline constexpr int kMsgRename = 40;
inline constexpr int kMsgAppend = 41;
inline constexpr int kMsgApplyToAll = 42;
inline constexpr int kMsgResume = 43;
inline constexpr int kMsgNewFileLine = 44;       // %d size, %s date, %s time
inline constexpr int kMsgExistingFileLine = 45;  // %d size, %s date, %s time

// The delete question.
inline constexpr int kMsgDeleteItems = 46;  // %d items
inline constexpr int kMsgDeleteTitle = 47;

// Key bar inside a store.
inline constexpr int kMsgNewItem = 48;
inline constexpr int kMsgCopyItem = 49;

// Connection options: the article cache for reading offline, in MiB.
inline constexpr int kMsgArticleCache = 50;

inline constexpr int kMsgDeleting = 51;
inline constexpr int kMsgWritingAccount = 52;
inline constexpr int kMsgReadingAccount = 53;

// Copy and move dialogs.
inline constexpr int kMsgCopyTitle = 54;
inline constexpr int kMsgMoveTitle = 55;
inline constexpr int kMsgCopyPrompt = 56;
inline constexpr int kMsgMovePrompt = 57;

inline constexpr int kMsgErrorTitle = 58;  // %s error class, %s operation

// Character tables.
inline constexpr int kMsgCharTables = 59;
inline constexpr int kMsgCharsetName = 60;
inline constexpr int kMsgConversionTable = 61;

inline constexpr int kMsgEscPressed = 62;
inline constexpr int kMsgPostingRefused = 63;

// Account dialog.
inline constexpr int kMsgAccountTitle = 64;
inline constexpr int kMsgAddress = 65;
inline constexpr int kMsgDescription = 66;
inline constexpr int kMsgYourName = 67;
inline constexpr int kMsgEmail = 68;
inline constexpr int kMsgReplyTo = 69;
inline constexpr int kMsgOrganization = 70;
inline constexpr int kMsgAskLogin = 71;
inline constexpr int kMsgUseProxy = 72;
inline constexpr int kMsgCharsetButton = 73;

// Configuration menu; its entries are also the dialogs' titles.
inline constexpr int kMsgSettingsTitle = 74;
inline constexpr int kMsgInterface = 75;
inline constexpr int kMsgConnection = 76;
inline constexpr int kMsgDefaultAccount = 77;
inline constexpr int kMsgProxyServer = 78;
inline constexpr int kMsgTemplates = 79;
inline constexpr int kMsgAbout = 80;

// Interface dialog.
inline constexpr int kMsgAddToDisks = 81;
inline constexpr int kMsgDisksHotkey = 82;
inline constexpr int kMsgConnectIsDefault = 83;
inline constexpr int kMsgShowPrivateHosts = 84;
inline constexpr int kMsgBeep = 85;
inline constexpr int kMsgOwnViewModes = 86;
inline constexpr int kMsgColumnTypes = 87;
inline constexpr int kMsgColumnWidths = 88;
inline constexpr int kMsgStatusColumnTypes = 89;
inline constexpr int kMsgStatusColumnWidths = 90;

// Connection dialog.
inline constexpr int kMsgLogFile = 91;
inline constexpr int kMsgWriteLog = 92;
inline constexpr int kMsgLogLevel = 93;
inline constexpr int kMsgServerTimeout = 94;
inline constexpr int kMsgRetries = 95;
inline constexpr int kMsgCacheLife = 96;

// Proxy dialog.
inline constexpr int kMsgUseSocks5 = 97;

// The server's group list and the add and remove questions.
inline constexpr int kMsgGroupsTitle = 98;
inline constexpr int kMsgAddOneGroup = 99;  // %s group
inline constexpr int kMsgAddGroups = 100;   // %d groups
inline constexpr int kMsgDropTitle = 101;
inline constexpr int kMsgDropOneGroup = 102;  // %s group
inline constexpr int kMsgDropGroups = 103;    // %d groups

inline constexpr int kMsgInterrupted = 104;

// Key bar in a server.
inline constexpr int kMsgKeyGroups = 105;
inline constexpr int kMsgKeyDropGroups = 106;
inline constexpr int kMsgKeyReply = 107;
inline constexpr int kMsgKeyNewArticle = 108;
inline constexpr int kMsgKeyCharset = 109;
inline constexpr int kMsgKeyViewHeader = 110;

// Column titles: first and last article number of a group.
inline constexpr int kMsgFirstColumn = 111;
inline constexpr int kMsgLastColumn = 112;

// The second add question.
inline constexpr int kMsgReplaceButton = 113;
inline constexpr int kMsgAddButton = 114;
inline constexpr int kMsgOwnGroupsExist = 115;  // %d own groups
inline constexpr int kMsgReplaceOrAdd = 116;

// Article column titles: From, X-Comment-To, Path, Organization, character table, in a row.
inline constexpr int kMsgFirstCustomColumn = 117;

// Copying articles out.
inline constexpr int kMsgCopyArticles = 122;
inline constexpr int kMsgCopyArticlesPrompt = 123;

// Post dialog.
inline constexpr int kMsgPostTitle = 124;
inline constexpr int kMsgSubject = 125;
inline constexpr int kMsgFormat = 126;
inline constexpr int kMsgText8Bit = 127;
inline constexpr int kMsgTextBase64 = 128;
inline constexpr int kMsgHtml8Bit = 129;
inline constexpr int kMsgHtmlBase64 = 130;
inline constexpr int kMsgSendingCharset = 131;
inline constexpr int kMsgPost = 132;
inline constexpr int kMsgPostAsIs = 133;
inline constexpr int kMsgNewsgroups = 134;
inline constexpr int kMsgChooseGroup = 135;

inline constexpr int kMsgSaveArticle = 136;
inline constexpr int kMsgReceivingArticle = 137;
inline constexpr int kMsgAskingForGroups = 138;
inline constexpr int kMsgAskingForArticles = 139;
inline constexpr int kMsgMaskPrompt = 140;
inline constexpr int kMsgReloadTitle = 141;
inline constexpr int kMsgReloadQuestion = 142;

// Templates dialog.
inline constexpr int kMsgQuoteChar = 143;
inline constexpr int kMsgDownloadTemplate = 144;
inline constexpr int kMsgNewArticleTemplate = 145;
inline constexpr int kMsgReplyTemplate = 146;

// The empty group list notice.
inline constexpr int kMsgNoGroups = 147;
inline constexpr int kMsgNoGroupsHint = 148;

// Retrying and a refused login.
inline constexpr int kMsgNextAttempt = 149;   // %d seconds to the next attempt, Esc stops
inline constexpr int kMsgLoginRefused = 150;  // the server refused the user name or password
inline constexpr int kMsgLoginAgain = 151;    // ... enter them again?

// A damaged cache file was kept under the name that follows.
inline constexpr int kMsgCacheKeptAside = 152;

// The connection failed after a whole article was sent (%s the failure).
inline constexpr int kMsgMayHaveBeenPosted = 153;

// Secure connections: the account dialog's TLS box and the question about a certificate that
// failed verification.
inline constexpr int kMsgSecureConnection = 154;  // check box "Secure connection (TLS)"
inline constexpr int kMsgUntrustedTitle = 155;    // title of the trust question
inline constexpr int kMsgNotTrusted = 156;        // "%s": the server's certificate is not trusted
inline constexpr int kMsgFingerprint = 157;       // label before the SHA-256 fingerprint
inline constexpr int kMsgTrustQuestion = 158;     // trust it for the account from now on?
inline constexpr int kMsgTrust = 159;             // button

// Connection dialog: the pipeline depth field.
inline constexpr int kMsgPipelineDepth = 160;

// What a server sends out of step: %s a line where a status line belongs; past the bound: %d
// entries of a list.
inline constexpr int kMsgNotAStatusLine = 161;
inline constexpr int kMsgListTooLong = 162;

// The SOCKS 5 proxy refused the user name or password.
inline constexpr int kMsgProxyLoginRefused = 163;

// The count of a long listing in its status box (%d: groups or headers read so far).
inline constexpr int kMsgReadSoFar = 164;

// error: a server address whose port is not a port (%s: the port as written)
inline constexpr int kMsgBadPort = 165;

// error: an article past the size limit (%d: the limit in MiB)
inline constexpr int kMsgArticleTooLarge = 166;

// connection options: the largest article received
inline constexpr int kMsgArticleSizeLimit = 167;

// error: POST answered by anything but 340 (%s: the server's line)
inline constexpr int kMsgPostNotAsked = 168;

// Replies and posts: the author wants replies by mail; the e-mail address asked for before
// posting; the question after a refused post and where a kept article went.
inline constexpr int kMsgMailReplyWanted = 169;
inline constexpr int kMsgAddressTitle = 170;
inline constexpr int kMsgAddressNeeded = 171;
inline constexpr int kMsgKeepAddress = 172;  // check box
inline constexpr int kMsgNotPosted = 173;    // the reason follows
inline constexpr int kMsgEditAgain = 174;    // button
inline constexpr int kMsgKeepArticle = 175;  // button
inline constexpr int kMsgArticleKept = 176;  // the file's name follows

// Templates dialog: the signature file field.
inline constexpr int kMsgSignatureFile = 177;

// Templates dialog: copied articles get LF line ends.
inline constexpr int kMsgSaveWithLf = 178;

// Connection dialog: list groups by the server's overview.
inline constexpr int kMsgUseOverview = 179;

// Read marks: the unread column of the own groups, key-bar labels, the catch-up question, the
// viewer's walk through the unread articles and the .newsrc menu.
inline constexpr int kMsgUnreadColumn =
    180;  // own groups view: the title of the unread count column
inline constexpr int kMsgKeyMarkRead = 181;      // key bar: mark the selected articles read
inline constexpr int kMsgKeyMarkUnread = 182;    // key bar: mark the selected articles unread
inline constexpr int kMsgKeyCatchUp = 183;       // key bar: mark every article of a group read
inline constexpr int kMsgCatchUpTitle = 184;     // title of the catch-up question
inline constexpr int kMsgCatchUpOneGroup = 185;  // catch-up question, %s: the group
inline constexpr int kMsgCatchUpGroups =
    186;  // catch-up question, %d: the number of selected groups
inline constexpr int kMsgNoMoreUnread =
    187;  // viewer: %s the group that has no unread article left
inline constexpr int kMsgNextGroupQuestion =
    188;  // viewer: %s the next group with unread articles, %d their number
inline constexpr int kMsgKeyPrevArticle = 189;  // viewer key bar: the previous article
inline constexpr int kMsgKeyNextArticle = 190;  // viewer key bar: the next article
inline constexpr int kMsgNoUnreadLeft = 191;    // viewer: no own group has unread articles
inline constexpr int kMsgKeyNewsrc = 192;       // key bar: the .newsrc menu of the own groups
inline constexpr int kMsgNewsrcTitle = 193;     // title of the .newsrc menu and its questions
inline constexpr int kMsgImportNewsrc = 194;    // menu: import a .newsrc file
inline constexpr int kMsgExportNewsrc = 195;    // menu: export a .newsrc file
inline constexpr int kMsgNewsrcFile = 196;      // prompt of the .newsrc file name
inline constexpr int kMsgNewsrcImported =
    197;  // after an import: %d groups, %d subscribed, %d lines skipped
inline constexpr int kMsgNewsrcExported = 198;  // after an export: %d groups, %s the file

// error: a character that the sending character set cannot hold (%s the character, %s its code
// point, %s the set)
inline constexpr int kMsgCannotEncode = 199;

// STARTTLS: the account dialog's box, why a session that asks for TLS has none (%s the server's
// line), the login refused in clear (%s why) and bytes sent before the handshake.
inline constexpr int kMsgStartTlsBox = 200;
inline constexpr int kMsgNoStartTls = 201;
inline constexpr int kMsgStartTlsRefused = 202;
inline constexpr int kMsgLoginNotInClear = 203;
inline constexpr int kMsgDataBeforeTls = 204;

// check box of the connection dialog: compress the connection when the server offers it
inline constexpr int kMsgCompression = 205;

// The newest articles of a large group on its first entry, and the key for the older ones.
inline constexpr int kMsgHeadersOnFirstEntry = 210;  // connection dialog: the limit's field
inline constexpr int kMsgNewestOfCount = 211;        // panel title: %d listed, %d in the group
inline constexpr int kMsgNewestListed = 212;         // panel title: %d listed, count not known
inline constexpr int kMsgKeyOlder = 213;             // key bar: list the older articles

// error: trying the server again from offline failed (after the failure's text)
inline constexpr int kMsgStillOffline = 220;

// How many texts each language file holds.
inline constexpr int kMsgCount = 230;

}  // namespace kestrova
