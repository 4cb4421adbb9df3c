// What the user chose and the program keeps between runs: the settings
// record ("velnoir.ini") and the template list ("velnoir.lst"). The main
// window owns the program's one record and lends it to what reads it (the
// name builder, the rename run, the property dialog) or edits it (the
// options dialog, on OK); all of them on the user-interface thread.
#pragma once
#include "settings/settings.h"
#include "settings/template_list.h"

struct Preferences {
  Settings settings;
  TemplateList templates;
};
