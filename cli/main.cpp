// ravo: the command-line companion of the tool. Shows, exports and imports application
// program files (.kelvane) and shows the program library.
#include "ApplicationDocument.h"
#include "ApplicationJson.h"
#include "CliError.h"
#include "DataFolder.h"
#include "ShowApplication.h"

#include "core/application/GbkText.h"
#include "core/application/LibraryListFile.h"
#include "core/application/WholeFile.h"

#include <cerrno>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace ravo;

const char kUsage[] =
    "usage: ravo [--data DIR] COMMAND ...\n"
    "\n"
    "Commands:\n"
    "  show FILE.kelvane          print an application program: version, motor parameters,\n"
    "                             peripheral settings and every user program line\n"
    "  export FILE.kelvane        print an application program as JSON\n"
    "  import FILE.json OUT.kelvane\n"
    "                             write an application program from JSON (as the tool writes it)\n"
    "  list                       print the program library of the data folder\n"
    "\n"
    "Options:\n"
    "  --data DIR                 the data folder (default: KelvaneRavoTools next to ravo,\n"
    "                             else ~/.local/share/KelvaneRavoTools)\n"
    "  -h, --help                 print this help\n"
    "\n"
    "Exit status: 0 on success, 1 on any error (the reason is printed on one line).\n";

struct Options {
    std::string dataFolder;
    std::vector<std::string> arguments;  // the command and its operands
};

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--data") {
            if (i + 1 >= argc) throw CliError("--data needs a folder");
            options.dataFolder = argv[++i];
        } else if (argument.rfind("--data=", 0) == 0) {
            options.dataFolder = argument.substr(7);
        } else if (argument.size() > 1 && argument[0] == '-' && argument != "-h" && argument != "--help") {
            throw CliError("unknown option " + argument + " (see ravo --help)");
        } else {
            options.arguments.push_back(argument);
        }
    }
    return options;
}

void expectOperands(const std::vector<std::string>& arguments, std::size_t count, const char* form) {
    if (arguments.size() != count + 1) throw CliError(std::string("usage: ravo ") + form);
}

// Warns (without failing) about a file that did not match its format all the way.
void warnIfIncomplete(const ApplicationDocument& document, const std::string& path) {
    if (!document.complete)
        std::cerr << "ravo: warning: " << path << " is incomplete or damaged; what did not read keeps its start-up value\n";
}

int run(const Options& options) {
    const std::vector<std::string>& args = options.arguments;
    if (args.empty()) throw CliError("no command given (see ravo --help)");
    const std::string& command = args[0];
    if (command == "-h" || command == "--help" || command == "help") {
        std::cout << kUsage;
    } else if (command == "show") {
        expectOperands(args, 1, "show FILE.kelvane");
        const ApplicationDocument document = LoadApplicationDocument(args[1]);
        warnIfIncomplete(document, args[1]);
        std::cout << ShowApplication(document, LoadCatalogueFrom(DataFolder(options.dataFolder)));
    } else if (command == "export") {
        expectOperands(args, 1, "export FILE.kelvane");
        const ApplicationDocument document = LoadApplicationDocument(args[1]);
        warnIfIncomplete(document, args[1]);
        std::cout << ApplicationToJson(document);
    } else if (command == "import") {
        expectOperands(args, 2, "import FILE.json OUT.kelvane");
        const std::optional<std::string> json = kelvane::ReadWholeFile(args[1]);
        if (!json) throw CliError("cannot open " + args[1] + ": " + std::strerror(errno));
        SaveApplicationDocument(args[2], ApplicationFromJson(*json));
    } else if (command == "list") {
        expectOperands(args, 0, "list");
        const std::string path = DataFolder(options.dataFolder) + "/" + kelvane::kLibraryListFile;
        const auto contents = kelvane::LoadLibraryListFile(path);
        if (!contents) throw CliError("cannot open " + path + ": " + std::strerror(errno));
        const int selected = kelvane::SelectedLibraryPosition(*contents, "");
        std::cout << "串口编号: " << int{contents->portIndex} << "\n";
        for (std::size_t i = 0; i < contents->names.size(); ++i) {
            std::cout << (static_cast<int>(i) == selected ? "* " : "  ") << kelvane::gbkToUtf8(contents->names[i])
                      << "\n";
        }
    } else {
        throw CliError("unknown command " + command + " (see ravo --help)");
    }
    std::cout.flush();
    if (!std::cout) throw CliError("cannot write the output");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(parseOptions(argc, argv));
    } catch (const CliError& error) {
        std::cerr << "ravo: " << error.what() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "ravo: " << error.what() << "\n";
    }
    return 1;
}
