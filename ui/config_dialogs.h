// The configuration dialogs of the Configure menu. Each edits one option group (or the
// character-set slots), saves it when accepted and returns whether it saved. A failing save
// raises the settings store's error; the options in memory already hold the new values.
#pragma once

namespace kestrova {

bool InterfaceDialog();       // INTERFACE and the panel's column layout
bool ConnectionDialog();      // CONNECTION: log, time-out, retries, cache life
bool DefaultAccountDialog();  // DEFAULT: the author fields and the defaults of new accounts
bool ProxyDialog();           // PROXY: the SOCKS proxy
bool TemplatesDialog();       // TEMPLATES: quote character and templates
bool CharTablesDialog();      // the character-set slots

}  // namespace kestrova
