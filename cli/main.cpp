// ravo: the command-line companion of the tool. Shows, exports, imports and checks
// application program files (.kelvane), shows the program library, and does the tool's
// controller work on a production line: whole downloads, the factory check, the controller's
// version and the serial ports.
#include "ApplicationDocument.h"
#include "ApplicationJson.h"
#include "ApplicationSource.h"
#include "CheckCommand.h"
#include "CliError.h"
#include "ControllerCommands.h"
#include "ControllerPort.h"
#include "DataFolder.h"
#include "DownloadCommand.h"
#include "PortsCommand.h"
#include "ShowApplication.h"
#include "TraceCommand.h"
#include "Utf8CommandLine.h"

#include "core/application/GbkText.h"
#include "core/application/LibraryListFile.h"
#include "core/application/WholeFile.h"

#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace ravo;

const char kUsage[] =
    "usage: ravo [--data DIR] [--port COMn] COMMAND ...\n"
    "\n"
    "Files (NAME is a program of the library, FILE a path to a .kelvane file):\n"
    "  show FILE.kelvane          print an application program: version, motor parameters,\n"
    "                             peripheral settings and every user program line\n"
    "  export FILE.kelvane        print an application program as JSON\n"
    "  import FILE.json OUT.kelvane\n"
    "                             write an application program from JSON (as the tool writes it)\n"
    "  list                       print the program library of the data folder\n"
    "  check NAME|FILE            print the problems a controller would meet, one line each\n"
    "                             (\"program p line i: ...\"); exit 1 when there is any\n"
    "  trace [FILE] [--follow]    decode a library log (SericalComInfo.log, Ravo_Debug.log;\n"
    "                             standard input without FILE) into readable lines; lines\n"
    "                             that do not parse are marked \"??\" and counted at the end;\n"
    "                             --follow keeps reading a growing log until Ctrl+C\n"
    "\n"
    "Controller (the tool's sequences and texts; --port names the controller's port):\n"
    "  download NAME|FILE --port COMn\n"
    "                             send a whole application program: motor parameters (read\n"
    "                             back), peripherals, every user program, work mode 1;\n"
    "                             progress on stderr, \"用户应用程序下载成功\" on success\n"
    "  factory-check --port COMn  the factory-data check (出厂设置); stores today's date and\n"
    "                             the factory defaults when there is no factory date or the\n"
    "                             check fails; exit 1 when the check failed or the\n"
    "                             controller did not answer\n"
    "  info --port COMn           connect as the tool does and print its status text\n"
    "  ports                      COM0..COM19: device file, whether it opens (if not, why),\n"
    "                             the /dev/serial/by-id name of USB adapters\n"
    "\n"
    "Options:\n"
    "  --data DIR                 the data folder (default: KelvaneRavoTools next to ravo,\n"
    "                             else ~/.local/share/KelvaneRavoTools)\n"
    "  --port COMn                the controller's port; RAVO_COM_DIR set makes COMn the device\n"
    "                             $RAVO_COM_DIR/COMn, else COM1..9 are /dev/ttyS0..8 and\n"
    "                             COM10..19 /dev/ttyUSB0..9\n"
    "  -h, --help                 print this help\n"
    "\n"
    "Exit status: 0 on success, 1 on any error (the reason is printed on stderr).\n";

struct Options {
    std::string dataFolder;
    std::string port;                    // --port as given
    bool follow = false;                 // --follow (trace)
    std::vector<std::string> arguments;  // the command and its operands
};

// The value of `--name VALUE` or `--name=VALUE` at argv[i]; advances i past a separate value.
bool takeValue(const std::string& name, int argc, char** argv, int& i, std::string& value) {
    const std::string argument = argv[i];
    if (argument == name) {
        if (i + 1 >= argc) throw CliError(name + " needs a value");
        value = argv[++i];
        return true;
    }
    if (argument.rfind(name + "=", 0) == 0) {
        value = argument.substr(name.size() + 1);
        return true;
    }
    return false;
}

Options parseOptions(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        if (takeValue("--data", argc, argv, i, options.dataFolder) || takeValue("--port", argc, argv, i, options.port))
            continue;
        const std::string argument = argv[i];
        if (argument == "--follow") {
            options.follow = true;
            continue;
        }
        if (argument.size() > 1 && argument[0] == '-' && argument != "-h" && argument != "--help")
            throw CliError("unknown option " + argument + " (see ravo --help)");
        options.arguments.push_back(argument);
    }
    return options;
}

void expectOperands(const std::vector<std::string>& arguments, std::size_t count, const char* form) {
    if (arguments.size() != count + 1) throw CliError(std::string("usage: ravo ") + form);
}

// Warns (without failing) about a file that did not match its format all the way.
void warnIfIncomplete(const ApplicationDocument& document, const std::string& path) {
    if (!document.complete)
        std::cerr << "ravo: warning: " << path
                  << " is incomplete or damaged; what did not read keeps its start-up value\n";
}

int comPort(const Options& options, const char* command) {
    if (options.port.empty()) throw CliError(std::string(command) + " needs --port COMn");
    return ParseComPort(options.port);
}

std::string applicationPath(const Options& options, const std::string& nameOrFile) {
    return ApplicationProgramPath(nameOrFile, DataFolder(options.dataFolder));
}

int run(const Options& options) {
    const std::vector<std::string>& args = options.arguments;
    if (args.empty()) throw CliError("no command given (see ravo --help)");
    const std::string& command = args[0];
    int status = 0;
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
    } else if (command == "check") {
        expectOperands(args, 1, "check NAME|FILE");
        const std::string path = applicationPath(options, args[1]);
        const ApplicationDocument document = LoadApplicationDocument(path);
        warnIfIncomplete(document, path);
        const std::string dataFolder = DataFolder(options.dataFolder);
        const kelvane::InstructionCatalogue catalogue = LoadCatalogueFrom(dataFolder);
        if (catalogue.instructions.empty()) throw CliError("no instruction catalogue in " + dataFolder);
        status = RunCheck(document, catalogue, std::cout);
    } else if (command == "trace") {
        if (args.size() > 2) throw CliError("usage: ravo trace [FILE] [--follow]");
        const kelvane::InstructionCatalogue catalogue = LoadCatalogueFrom(DataFolder(options.dataFolder));
        const kelvane::InstructionCatalogue* known = catalogue.instructions.empty() ? nullptr : &catalogue;
        if (args.size() == 1) {
            status = RunTrace(std::cin, options.follow, known, std::cout);
        } else {
            std::ifstream log(args[1], std::ios::binary);
            if (!log) throw CliError("cannot open " + args[1] + ": " + std::strerror(errno));
            status = RunTrace(log, options.follow, known, std::cout);
            if (log.bad()) throw CliError("cannot read " + args[1]);
        }
    } else if (command == "download") {
        expectOperands(args, 1, "download NAME|FILE --port COMn");
        const int com = comPort(options, "download");
        const std::string path = applicationPath(options, args[1]);
        const ApplicationDocument document = LoadApplicationDocument(path);
        // What did not read would go out as start-up values and overwrite the machine's settings.
        if (!document.complete) throw CliError(path + " is incomplete or damaged; nothing was sent");
        status = RunDownload(document, com, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    } else if (command == "factory-check") {
        expectOperands(args, 0, "factory-check --port COMn");
        status = RunFactoryCheck(comPort(options, "factory-check"), std::cout);
    } else if (command == "info") {
        expectOperands(args, 0, "info --port COMn");
        status = RunInfo(comPort(options, "info"), std::cout, std::cerr);
    } else if (command == "ports") {
        expectOperands(args, 0, "ports");
        status = RunPorts(std::cout);
    } else {
        throw CliError("unknown command " + command + " (see ravo --help)");
    }
    std::cout.flush();
    if (!std::cout) throw CliError("cannot write the output");
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        Utf8CommandLine commandLine(argc, argv);
        return run(parseOptions(commandLine.argc(), commandLine.argv()));
    } catch (const CliError& error) {
        std::cerr << "ravo: " << error.what() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "ravo: " << error.what() << "\n";
    }
    return 1;
}
