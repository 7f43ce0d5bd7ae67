#include "app/CommandLine.h"

#include <filesystem>

#include "base/Version.h"
#include "isam/ServerLocation.h"

namespace zelvo {

namespace {

CommandLine refused(const std::string& why) {
    CommandLine c;
    c.action = CommandLine::Action::Refused;
    c.refusal = "zelvo: " + why + "\nUsare \"zelvo --help\" per l'elenco delle opzioni.\n";
    return c;
}

// A server is named by its URI, which is no path.
std::string absolute(const std::string& dir) {
    if (isam::IsServerLocation(dir)) {
        return dir;
    }
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(dir, ec);
    return ec ? dir : p.lexically_normal().string();
}

}  // namespace

CommandLine CommandLine::Parse(const std::vector<std::string>& args) {
    CommandLine c;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--version") {
            c.action = Action::Version;
        } else if (a == "--help" || a == "-h") {
            c.action = Action::Help;
        } else if (a == "--datadir" || a.rfind("--datadir=", 0) == 0) {
            std::string dir;
            if (a == "--datadir") {
                if (i + 1 == args.size()) {
                    return refused("l'opzione --datadir vuole il nome di una directory");
                }
                dir = args[++i];
            } else {
                dir = a.substr(10);
            }
            if (dir.empty()) {
                return refused("l'opzione --datadir vuole il nome di una directory");
            }
            c.dataDirectory = absolute(dir);
        } else if (a.rfind("--", 0) == 0) {
            return refused("opzione sconosciuta: " + a);
        } else if (a.rfind('-', 0) != 0) {
            return refused("argomento non previsto: " + a);
        } else if (i + 1 < args.size() && args[i + 1].rfind('-', 0) != 0) {
            ++i;  // a window-system option and its value ("-platform xcb")
        }
    }
    return c;
}

std::string CommandLine::VersionText() {
    return std::string("zelvo ") + kProgramVersion + "\n";
}

std::string CommandLine::HelpText() {
    return "Uso: zelvo [OPZIONI]\n"
           "Zelvo, contabilità ordinaria in partita doppia.\n"
           "\n"
           "  --datadir DIR   lavora sulla directory dei dati DIR (creata e installata se\n"
           "                  non esiste), al posto di quella indicata dal file rr\n"
           "  --help          mostra questo aiuto ed esce\n"
           "  --version       mostra la versione ed esce\n"
           "\n"
           "La directory dei dati è quella scritta nella prima riga del file rr, cercato\n"
           "accanto al programma e, per un programma installato, in ~/.config/zelvo/.\n"
           "Senza rr (o con rr \"mono\") un programma installato tiene i dati in\n"
           "~/.local/share/zelvo/, un programma in una cartella propria accanto a sé.\n"
           "Al posto di una directory, rr e --datadir possono indicare un server\n"
           "PostgreSQL con un URI (postgresql://utente@host/database): gli archivi stanno\n"
           "allora sul server, e la password in ~/.pgpass o in pg_service.conf.\n"
           "Le opzioni con un solo trattino (-platform, -style, ...) sono di Qt.\n";
}

}  // namespace zelvo
