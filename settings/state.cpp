// Process-wide state of the rename engine and the settings record.
#include "settings/settings.h"
#include "settings/template_list.h"

Settings g_settings;
std::vector<std::wstring> g_templateList;
