#include "archive/ArchiveError.h"

#include <string>

#include "archive/Catalog.h"

namespace zelvo {

namespace {

const char* specificText(std::int16_t status) {
    switch (status) {
        case 11:
            return "DISCO PIENO";
        case 12:
            return "OUT OF MEMORY";
        case 13:
            return "ERRORE DOS";
        case 14:
            return "ERRORE DISCO";
        case 18:
            return "TROPPI FILE APERTI";
        default:
            return nullptr;
    }
}

}  // namespace

void ArchiveError(Dialogs& dialogs, std::int16_t status, int operation, int archive, int position) {
    if (status == 0) {
        return;
    }
    dialogs.beep();
    if (const char* text = specificText(status)) {
        dialogs.message(text, status == 12 ? "Zelvo" : "Errore", Icon::Critical);
    }
    // The four lines are joined by a bare carriage return, as the report always was.
    std::string text =
        "Errore: " + std::to_string(status) + "\rOperazione: " + Catalog::operationText(operation) +
        "\rArchivio: " + Catalog::archiveText(archive) + "\rPosizione: " + std::to_string(position);
    dialogs.message(text, "Errore durante operazione sugli archivi", Icon::Exclamation);
}

}  // namespace zelvo
