#pragma once
// Where desk-server keeps its data (the record store's SQLite file) unless --data says otherwise.

#include <string>

namespace server {

// A folder named after the program under the user's data folder: $XDG_DATA_HOME/desk-server,
// else ~/.local/share/desk-server; %LOCALAPPDATA%\desk-server on Windows. "" when neither the
// variable nor the home folder is known.
std::string defaultDataFolder();

}  // namespace server
