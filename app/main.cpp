#include "app/main_window.h"
#include "core/switches.h"

#include <QApplication>
#include <cstdio>
#include <string_view>

namespace {

// OBFLASH_VERSION is the embedded release's version, read from its header by the build.
constexpr std::string_view Usage =
    "usage: obflash [ARG1 [ARG2 [ARG3]]]\n"
    "       obflash --help | --version\n"
    "Installs firmware release " OBFLASH_VERSION " into an Orbeline OB7300 antenna controller\n"
    "over a serial line.\n"
    "\n"
    "The switches are positional: each counts only in its own place, and any text\n"
    "serves as a placeholder in the places before it.\n"
    "  ARG1 /COM<n>   skip the search: open port COM<n> at once, wait for the power cycle\n"
    "  ARG2 /FORCE    install even when the controller already has " OBFLASH_VERSION " or newer\n"
    "  ARG3 /LOG      log one line for every chunk programmed\n"
    "\n"
    "Environment:\n"
    "  OBFLASH_PORTS  the whole port list, comma-separated COM<n>=<device path> entries\n"
    "\n"
    "See obflash(1).\n";

constexpr std::string_view VersionLine = "obflash " OBFLASH_VERSION "\n";

// Answered before the window system starts, so both work without a display. Only the first
// argument is looked at, and neither text starts with "/COM": no switch changes meaning.
const std::string_view* InformationAskedFor(int argc, char** argv) {
    if (argc < 2)
        return nullptr;
    const std::string_view first = argv[1];
    if (first == "--help")
        return &Usage;
    if (first == "--version")
        return &VersionLine;
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::string_view* information = InformationAskedFor(argc, argv)) {
        std::fwrite(information->data(), 1, information->size(), stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication application(argc, argv);
    ob::CommandLine.assign(argv + 1, argv + argc);
    ob::TfmMain fmMain;
    fmMain.show();
    return application.exec();
}
