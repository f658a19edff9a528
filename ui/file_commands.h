// The file commands that run without a button: loading the puzzle named on the command line.
#pragma once

#include <QStringList>

namespace korvane {

class Platform;
class TForm1;

// `korvane FILE`: loads FILE (arguments[1], relative to the current folder) into the shown window
// exactly as the load command does after its dialog. A file that cannot be loaded leaves the window as
// it was and the message says why. Without an argument nothing happens.
void OpenStartFile(TForm1& form, Platform& platform, const QStringList& arguments);

} // namespace korvane
