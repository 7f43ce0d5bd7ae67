#include "app/CommandMap.h"

#include <utility>

namespace zelvo {

namespace {

using Path = std::vector<std::string>;

const Path kAzienda{"&Azienda"};
const Path kPrimaNota{"&Prima nota"};
const Path kRegistrazione{"&Prima nota", "&Registrazione"};
const Path kContabilita{"&Contabilità"};
const Path kPianoConti{"P&iano conti"};
const Path kIva{"I&va"};
const Path kScadenzari{"&Scadenzari"};
const Path kClienti{"C&lienti"};
const Path kFornitori{"&Fornitori"};
const Path kVarie{"Va&rie"};
const Path kFineAnno{"Va&rie", "&Gestione fine/inizio anno"};
const Path kHelp{"?"};

constexpr Guard P = Guard::Plain;
constexpr Guard L = Guard::Long;
constexpr Guard S = Guard::Short;
constexpr Guard N = Guard::None;

MenuCommand separator(const Path& path, std::string control) {
    return {path, std::move(control), "-", "", N};
}

std::vector<MenuCommand> buildMenu() {
    return {
        // "&Esci" stands apart below a separator so that it is not chosen by a slip of the
        // hand; the two company commands are split as well because each one takes over
        // the whole program.
        {kAzienda, "ma1", "&Scelta azienda", "SCELTA", S},
        separator(kAzienda, "max1"),
        {kAzienda, "ma3", "&Nuova azienda", "APRIAZ", S},
        separator(kAzienda, "max"),
        {kAzienda, "ma2", "&Esci", "", N},

        // The registration submenu comes first: it is what the operator opens most.
        {kRegistrazione, "mbb1", "Movimento &generico", "MCMG", P},
        {kRegistrazione, "mbb2", "Fattura &vendita", "mcfv", P},
        {kRegistrazione, "mbb3", "Fattura &acquisto", "MCFA", P},
        {kRegistrazione, "mbb4", "&Corrispettivo", "mcco", P},
        {kRegistrazione, "mbb5", "Nota c&redito cliente", "mccv", P},
        {kRegistrazione, "mbb6", "Nota cr&edito fornitore", "mcca", P},
        {kRegistrazione, "mbb7", "&Incasso fattura", "MCIF", P},
        {kRegistrazione, "mbb8", "&Pagamento fattura", "MCPF", P},
        {kRegistrazione, "mbb9", "Ca&usali automatizzate", "MCXX", P},
        {kRegistrazione, "rege1", "Fa&ttura acquisto in Euro", "MCFA3", P},
        {kRegistrazione, "rege2", "N&ota credito fornitore in Euro", "mcca3", P},
        {kRegistrazione, "rege3", "Movi&mento generico in Euro", "MCMG3", P},
        {kPrimaNota, "mb2", "&Visualizzazione", "VMC", P},
        {kPrimaNota, "mb3", "R&evisione", "AMC", L},
        {kPrimaNota, "mb4", "&Stampa", "STMC", P},
        {kPrimaNota, "mb5", "S&tampa controllo", "STMC1", P},
        {kPrimaNota, "mb6", "&Causali automatizzate", "regxx", P},
        {kPrimaNota, "mb7", "Veri&fica", "VERPN", P},
        {kPrimaNota, "mb8", "V&ariazione riferimento partita", "VARRIFP", P},
        {kPrimaNota, "mb9", "A&nnullamento singola registrazione", "annsr", L},

        // "Bi&lancio CEE" fills the spreadsheet window rather than opening a screen of its
        // own, so the window it shows is what is recorded here.
        {kContabilita, "mc1", "&Visualizzazione scheda", "visched", P},
        {kContabilita, "mc2", "&Stampa scheda", "STSCHED", P},
        {kContabilita, "mc3", "V&isualizz. estratto conto", "vec", P},
        {kContabilita, "mc5", "S&tampa estratto conto", "STEC", P},
        {kContabilita, "mc6", "Stampa &bilancio", "BIL", P},
        {kContabilita, "mc7", "&Giornale contabilità", "STGC", P},
        {kContabilita, "mc8", "&Progressivi contabili", "PROGRES", P},
        {kContabilita, "mc12", "&Dati aziendali", "REGDATI", P},
        {kContabilita, "mc14", "&Registraz. dati bilancio CEE", "REGCEE", P},
        {kContabilita, "mc15", "Bi&lancio CEE", "BILCEE", P},

        {kPianoConti, "md1", "&Registrazione", "RPC", P},
        {kPianoConti, "md2", "&Variazione", "VARPC", P},
        {kPianoConti, "md3", "V&isualizzazione", "VISPC", P},
        {kPianoConti, "md4", "&Annullamento", "anpc", L},
        {kPianoConti, "md5", "&Stampa", "STPC", P},
        {kPianoConti, "mc9", "Ric&ostruzione progressivi", "RICO", L},
        {kPianoConti, "sott5", "S&ottoconti più usati", "REGFACIL", P},

        {kIva, "me1", "&Registrazione tabella", "rtiva", L},
        {kIva, "me2", "&Visualizzazione tabella", "vistiva", P},
        {kIva, "me3", "R&egistro iva vendite", "STRIV", P},
        {kIva, "me4", "Re&gistro iva acquisti", "STRIA", P},
        {kIva, "me13", "Registr&o iva corrispettivi", "STRIC", P},
        {kIva, "me5", "&Liquidazione", "LIQIVA", P},
        {kIva, "me6", "L&iquidazione annuale", "LIQIVA1", P},
        {kIva, "me6bb", "Li&quidazione singolo registro", "LIQIVASR", P},
        {kIva, "me7", "&Situazione iva", "VIVA", P},
        {kIva, "m277", "Rie&pilogo corrispettivi", "RIEPCORR", P},
        {kIva, "me8", "Registra&z. credito anno prec.", "REGCRED", P},
        {kIva, "me9", "&Allegato clienti", "elc", P},
        {kIva, "me10", "Allega&to fornitori", "ELF", P},
        {kIva, "me15", "Registrazione &manuale", "RMIVA", P},
        {kIva, "me16", "A&nnullamento registrazione", "ANNRIVA", P},
        {kIva, "VARSIASFAGFSGA", "Variazione sal&do liquidazione", "varsi", L},

        {kScadenzari, "ss1", "&Registrazione", "REGSCA", P},
        {kScadenzari, "ss2", "&Variazione", "VARSCA", P},
        {kScadenzari, "ss3", "V&isualizzazione", "VISSCA", P},
        {kScadenzari, "ss4", "&Stampa", "STSCAD", P},

        {kClienti, "mq1", "&Visualizzazione", "VISCLI", P},
        {kClienti, "mq2", "&Registrazione", "RCLIENTE", P},
        {kClienti, "mq4", "V&ariazione", "VARCLI", P},
        {kClienti, "mq3", "&Stampa parametrica", "sps", P},

        {kFornitori, "mr1", "&Visualizzazione", "visforn", P},
        {kFornitori, "mr2", "&Registrazione", "regforn", P},
        {kFornitori, "mr3", "V&ariazione", "varforn", P},
        {kFornitori, "mr4", "&Stampa parametrica", "spsforn", P},

        // Separators keep the everyday tools apart from the archive work, and within the
        // archive work set off what saves or restores whole archives and what checks and
        // repairs them, so a destructive command is never next to a harmless one.
        {kVarie, "magend", "&Agenda", "AGENDA", P},
        {kVarie, "m7ff", "&Foglio elettronico", "Foglio", P},
        {kVarie, "m7aa", "&Parametri", "Parges", P},
        {kVarie, "g2", "C&ondizioni pagamento", "REGPAG", P},
        separator(kVarie, "m7dd"),
        {kVarie, "mf7", "Cop&ia archivi", "COPIAPC", P},
        {kVarie, "m7c", "Ca&ncellazione archivi", "cancella", L},
        separator(kVarie, "mdlll"),
        {kVarie, "back10", "&Backup archivi", "BACK1", L},
        {kVarie, "back20", "&Ripristino archivi", "BACK2", L},
        separator(kVarie, "lll99"),
        {kVarie, "val1", "&Verifica archivi", "VALL1", L},
        {kVarie, "val2", "R&icostruzione indici", "VALL2", L},
        {kVarie, "val3", "Ripara arc&hivi", "VALL3", L},
        {kFineAnno, "mf1", "&Apertura archivi nuovo anno", "APANNO", L},
        {kFineAnno, "mf2", "A&ggiornamento saldi iniziali", "agg", L},
        {kFineAnno, "mf3", "&Chiusura conti economici", "CHE", L},
        {kFineAnno, "mf4", "C&hiusura conti patrimoniali", "CHP", L},
        {kFineAnno, "mf5", "&Trasferimento partite aperte", "TRAPA", L},
        {kFineAnno, "mf6", "&Bilancio apertura conti patrimoniali", "BAP", L},

        // The blanks belong to the caption: they set the "F1" hint apart from the text.
        // The guide is a window of the main window's own, not a screen: it opens at the
        // page of the screen the operator is in.
        {kHelp, "fff1", "Guida               F1", "", N},
        {kHelp, "m8b", "&Informazioni su ...", "primo", P},
    };
}

}  // namespace

const std::vector<MenuCommand>& CommandMap::menu() {
    static const std::vector<MenuCommand> entries = buildMenu();
    return entries;
}

const std::vector<ToolbarCommand>& CommandMap::toolbar() {
    // Buttons in the order they stand on the bar; "P20" keeps its capital letter because
    // operator scripts name the button by its key.
    static const std::vector<ToolbarCommand> buttons{
        {"p4", "Esci", "", "exit"},
        {"p5", "Parametri", "Parges", ""},
        {"p6", "Foglio elettronico", "Foglio", ""},
        {"p7", "Estratto conto", "vec", ""},
        {"p8", "Cerca cliente/fornitore", "TROVA", ""},
        {"p9", "Agenda", "AGENDA", ""},
        {"p10", "Calcolatrice", "", "calculator"},
        {"P20", "Struttura piano dei conti", "LISTAPC", ""},
        {"p11", "Disponi finestre", "", "cascade"},
        {"pn", "Prima nota", "", "dropdown"},
    };
    return buttons;
}

const std::vector<ToolbarCommand>& CommandMap::primaNota() {
    // The drop-down is a shortcut to the registration submenu, in its own order; each
    // entry opens the same screen as the submenu entry of the same name.
    static const std::vector<ToolbarCommand> entries{
        {"pn1", "Movimento generico", "MCMG", ""},     {"pn2", "Fattura vendita", "mcfv", ""},
        {"pn3", "Fattura acquisto", "MCFA", ""},       {"pn4", "Nota credito cliente", "mccv", ""},
        {"pn5", "Nota credito fornitore", "mcca", ""}, {"pn6", "Incasso fattura", "MCIF", ""},
        {"pn7", "Pagamento fattura", "MCPF", ""},      {"pn8", "Corrispettivo", "mcco", ""},
        {"pn9", "Causale automatizzata", "MCXX", ""},
    };
    return entries;
}

const MenuCommand* CommandMap::byControl(std::string_view control) {
    for (const MenuCommand& entry : menu()) {
        if (entry.control == control) {
            return &entry;
        }
    }
    return nullptr;
}

const char* CommandMap::longGuardText() {
    return "Tutte le finestre devono essere chiuse prima di effettuare l'operazione richiesta";
}

const char* CommandMap::shortGuardText() {
    return "Tutte le finestre devono essere chiuse";
}

}  // namespace zelvo
