#include "sheet/EecScheme.h"

#include <iterator>

#include "base/NumberText.h"

namespace zelvo {

namespace {

constexpr int kStatementLines = 192;
const sheet::CellFont kBodyFont{"Courier New", 9, false};
const sheet::CellFont kTitleFont{"Arial", 10, false};

// The statement lines of the scheme's rows. Between them the statement keeps blank lines,
// so that every subtotal's range names exactly the lines it adds up.
const EecLine kLines[] = {
    {1, "STATO PATRIMONIALE", EecKind::Title, 0, 1, nullptr},
    {2, "ATTIVO", EecKind::Heading, 0, 1, nullptr},
    {3, "A)         Crediti v/soci per. vers. ancora dovuti", EecKind::Item, 'e', 1, nullptr},
    {4, "B)         Immobilizzazioni", EecKind::Heading, 0, 1, nullptr},
    {5, "I        Immateriali", EecKind::Heading, 0, 1, nullptr},
    {6, "1)    Costi d'impianto e di ampliamento", EecKind::Gross, 'c', 1, "c6-c7"},
    {7, "meno: fondo ammortamento", EecKind::Deduction, 'c', -1, nullptr},
    {8, "2)    Costi di ricerca, di sviluppo e pubbl.", EecKind::Item, 'd', 1, nullptr},
    {9, "3)    Diritti di brevetto ind. e utilizzazione", EecKind::Item, 'd', 1, nullptr},
    {10, "4)    Concessioni, licenze, marchi e diritti", EecKind::Item, 'd', 1, nullptr},
    {11, "5)    Avviamento", EecKind::Item, 'd', 1, nullptr},
    {12, "6)    Immobilizzazioni in corso e acconti", EecKind::Item, 'd', 1, nullptr},
    {13, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d3:d12)"},
    {15, "II       Materiali", EecKind::Heading, 0, 1, nullptr},
    {16, "1)    Terreni e fabbricati", EecKind::Gross, 'c', 1, "c16-c17"},
    {17, "meno: fondo di ammortamento", EecKind::Deduction, 'c', -1, nullptr},
    {18, "2)    Impianti e macchinari", EecKind::Gross, 'c', 1, "c18-c19"},
    {19, "meno: fondo di ammortamento", EecKind::Deduction, 'c', -1, nullptr},
    {20, "3)    Attrezzature industriali e commerciali", EecKind::Gross, 'c', 1, "c20-c21"},
    {21, "meno: fondo di ammortamento", EecKind::Deduction, 'c', -1, nullptr},
    {22, "4)    Altri beni", EecKind::Gross, 'c', 1, "c22-c23"},
    {23, "meno: fondo di ammortamento", EecKind::Deduction, 'c', -1, nullptr},
    {24, "5)    Immobilizzazioni in corso e acconti", EecKind::Item, 'd', 1, nullptr},
    {25, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d16:d24)"},
    {27, "III      Finanziarie", EecKind::Heading, 0, 1, nullptr},
    {28, "1)    Partecipazioni in:", EecKind::Heading, 0, 1, nullptr},
    {29, "a)  Imprese controllate", EecKind::Item, 'd', 1, nullptr},
    {30, "b)  Imprese collegate", EecKind::Item, 'd', 1, nullptr},
    {31, "c)  Altre imprese", EecKind::Gross, 'c', 1, "c31-c32"},
    {32, "meno: fondo svalutazione partecipazioni", EecKind::Deduction, 'c', -1, nullptr},
    {33, "2)    Crediti:", EecKind::Heading, 0, 1, nullptr},
    {34, "a)  Verso imprese controllate", EecKind::Item, 'd', 1, nullptr},
    {35, "b)  Verso imprese collegate", EecKind::Item, 'd', 1, nullptr},
    {36, "c)  Verso controllanti", EecKind::Item, 'd', 1, nullptr},
    {37, "d)  Verso altri", EecKind::Item, 'd', 1, nullptr},
    {38, "3)    Altri titoli", EecKind::Item, 'd', 1, nullptr},
    {39, "4)    Azioni proprie", EecKind::Item, 'd', 1, nullptr},
    {40, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d29:d39)"},
    {41, "Totale immobilizzazioni", EecKind::Heading, 0, 1, nullptr},
    {43, "C)         Attivo circolante", EecKind::Heading, 0, 1, nullptr},
    {44, "I        Rimanenze", EecKind::Heading, 0, 1, nullptr},
    {45, "1)    Materie prime, sussidiarie e di consumo", EecKind::Item, 'd', 1, nullptr},
    {46, "2)    Prodotti in corso di lavoraz. e semil.", EecKind::Item, 'd', 1, nullptr},
    {47, "3)    Lavori in corso su ordinazione", EecKind::Item, 'd', 1, nullptr},
    {48, "4)    Prodotti finiti e merci", EecKind::Item, 'd', 1, nullptr},
    {49, "5)    Acconti", EecKind::Item, 'd', 1, nullptr},
    {50, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d45:d49)"},
    {52, "II       Crediti", EecKind::Heading, 0, 1, nullptr},
    {53, "1)    Verso clienti", EecKind::Gross, 'c', 1, "c53-c54"},
    {54, "meno: sfondo svalutazione crediti", EecKind::Deduction, 'c', -1, nullptr},
    {55, "2)    Verso imprese controllate", EecKind::Item, 'd', 1, nullptr},
    {56, "3)    Verso imprese collegate", EecKind::Item, 'd', 1, nullptr},
    {57, "4)    Verso controllanti", EecKind::Item, 'd', 1, nullptr},
    {58, "5)    Verso altri", EecKind::Item, 'd', 1, nullptr},
    {59, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d53:d58)"},
    {61, "III      Attività finanziarie che non cost. immob.", EecKind::Heading, 0, 1, nullptr},
    {62, "1)    Partecipazioni in imprese collegate", EecKind::Item, 'd', 1, nullptr},
    {63, "2)    Partecipazioni in imprese collegate", EecKind::Item, 'd', 1, nullptr},
    {64, "3)    Altre partecipazioni", EecKind::Item, 'd', 1, nullptr},
    {65, "4)    Azioni proprie", EecKind::Item, 'd', 1, nullptr},
    {66, "5)    Altri titoli", EecKind::Item, 'd', 1, nullptr},
    {67, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d62:d66)"},
    {69, "IV       Disponibilità liquide", EecKind::Heading, 0, 1, nullptr},
    {70, "1)    Depositi bancari e postali", EecKind::Item, 'd', 1, nullptr},
    {71, "2)    Assegni", EecKind::Item, 'd', 1, nullptr},
    {72, "3)    Denaro e valori in cassa", EecKind::Item, 'd', 1, nullptr},
    {73, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d70:d72)"},
    {75, "D)         Ratei e risconti", EecKind::Heading, 0, 1, nullptr},
    {76, "Ratei attivi", EecKind::Item, 'd', 1, nullptr},
    {77, "Risconti attivi", EecKind::Item, 'd', 1, nullptr},
    {78, "Tot. intermedio", EecKind::Total, 'e', 1, "sum(d76:d77)"},
    {79, "Totale attivo", EecKind::Total, 'e', 1, "sum(e3:e78)"},
    {80, "Conti d'ordine", EecKind::Item, 'e', 1, nullptr},
    {82, "PASSIVO", EecKind::Heading, 0, -1, nullptr},
    {83, "A)         Patrimonio netto", EecKind::Heading, 0, -1, nullptr},
    {84, "I        Capitale", EecKind::Item, 'd', -1, nullptr},
    {85, "II       Riserva da sovrapprezzo delle azioni", EecKind::Item, 'd', -1, nullptr},
    {86, "III      Riserva di rivalutazione", EecKind::Item, 'd', -1, nullptr},
    {87, "IV       Riserva legale", EecKind::Item, 'd', -1, nullptr},
    {88, "V        Riserva per azioni proprie in portafogl.", EecKind::Item, 'd', -1, nullptr},
    {89, "VI       Riserve statutarie", EecKind::Item, 'd', -1, nullptr},
    {90, "VII      Altre riserve", EecKind::Item, 'd', -1, nullptr},
    {91, "VIII     Utili (perdite) portati a nuovo", EecKind::Item, 'd', -1, nullptr},
    {92, "IX       Utile (perdita) d'esercizio", EecKind::Item, 'd', -1, nullptr},
    {93, "Totale", EecKind::Total, 'e', -1, "sum(d84:d92)"},
    {95, "B)         Fondi per rischi ed oneri", EecKind::Heading, 0, -1, nullptr},
    {96, "1)   Fondi di trattamento di quiescienza", EecKind::Item, 'd', -1, nullptr},
    {97, "2)   Fondi per imposte", EecKind::Item, 'd', -1, nullptr},
    {98, "3)   Altri accantonamenti", EecKind::Item, 'd', -1, nullptr},
    {99, "Tot. intermedio", EecKind::Total, 'e', -1, "sum(d96:d98)"},
    {101, "C)         Trattamento di fine rapporto di lavoro", EecKind::Item, 'e', -1, nullptr},
    {103, "D)         Debiti", EecKind::Heading, 0, -1, nullptr},
    {104, "1)   Obbligazioni", EecKind::Item, 'd', -1, nullptr},
    {105, "2)   Obbligazioni convertibili", EecKind::Item, 'd', -1, nullptr},
    {106, "3)   Debiti verso banche", EecKind::Item, 'd', -1, nullptr},
    {107, "4)   Debiti verso altri finanziatori", EecKind::Item, 'd', -1, nullptr},
    {108, "5)   Acconti", EecKind::Item, 'd', -1, nullptr},
    {109, "6)   Debiti verso fornitori", EecKind::Item, 'd', -1, nullptr},
    {110, "7)   Debiti rappresentanti da titoli credito", EecKind::Item, 'd', -1, nullptr},
    {111, "8)   Debiti verso imprese controllate", EecKind::Item, 'd', -1, nullptr},
    {112, "9)   Debiti verso imprese collegate", EecKind::Item, 'd', -1, nullptr},
    {113, "10)   Debiti verso controllanti", EecKind::Item, 'd', -1, nullptr},
    {114, "11)   Debiti tributari", EecKind::Item, 'd', -1, nullptr},
    {115, "12)   Debiti verso ist.prev.sicur.sociale", EecKind::Item, 'd', -1, nullptr},
    {116, "13)   Altri debiti", EecKind::Item, 'd', -1, nullptr},
    {117, "Tot. intermedio", EecKind::Total, 'e', -1, "sum(d104:d116)"},
    {119, "E)         Ratei e risconti", EecKind::Heading, 0, -1, nullptr},
    {120, "Ratei passivi", EecKind::Item, 'd', -1, nullptr},
    {121, "Risconti passivi", EecKind::Item, 'd', -1, nullptr},
    {122, "Tot. intermedio", EecKind::Total, 'e', -1, "sum(d120:d121)"},
    {123, "Totale passivo", EecKind::Total, 'e', -1, "sum(e84:e122)"},
    {124, "Conti d'ordine", EecKind::Item, 'e', -1, nullptr},
    {126, "CONTO ECONOMICO", EecKind::Title, 0, -1, nullptr},
    {128, "A)         Valore della produzione", EecKind::Heading, 0, -1, nullptr},
    {129, "1)      Ricavi delle vendite e delle prestazioni", EecKind::Item, 'd', -1, nullptr},
    {130, "2)      Variaz.delle riman.prodotti in c/lavoraz.", EecKind::Item, 'd', -1, nullptr},
    {131, "3)      Variazione dei lavori in corso su ordin.", EecKind::Item, 'd', -1, nullptr},
    {132, "4)      Incrementi di immob. per lavori interni", EecKind::Item, 'd', -1, nullptr},
    {133, "5)      Altri ricavi e proventi", EecKind::Item, 'd', -1, nullptr},
    {134, "Totale valore della produzione (A)", EecKind::Total, 'e', -1, "sum(d129:d133)"},
    {136, "B)         Costi della produzione", EecKind::Heading, 0, -1, nullptr},
    {137, "6)      Per materie prima, suss., consumo e merci", EecKind::Item, 'd', 1, nullptr},
    {138, "7)      Per servizi", EecKind::Item, 'd', 1, nullptr},
    {139, "8)      Per godimento di beni di terzi", EecKind::Item, 'd', 1, nullptr},
    {140, "9)      Per il personale", EecKind::Item, 'd', 1, nullptr},
    {141, "a)    Salari e stipendi", EecKind::Item, 'd', 1, nullptr},
    {142, "b)    Oneri sociali", EecKind::Item, 'd', 1, nullptr},
    {143, "c)    Trattamento di fine rapporto", EecKind::Item, 'd', 1, nullptr},
    {144, "d)    Trattamento di quescienza e simili", EecKind::Item, 'd', 1, nullptr},
    {145, "e)    Altri costi", EecKind::Item, 'd', 1, nullptr},
    {146, "10)      Ammortamenti e svalutazioni", EecKind::Item, 'd', 1, nullptr},
    {147, "a)    Ammortamento delle immobil. immateriali", EecKind::Item, 'd', 1, nullptr},
    {148, "b)    Ammortamento delle immobil. materiali", EecKind::Item, 'd', 1, nullptr},
    {149, "c)    Altre svalutazioni delle immobilizzaz.", EecKind::Item, 'd', 1, nullptr},
    {150, "d)    Svalutazioni dei crediti", EecKind::Item, 'd', 1, nullptr},
    {151, "11)      Variaz. rimanenze materie prime, suss.", EecKind::Item, 'd', 1, nullptr},
    {152, "12)      Accantonamento per rischi", EecKind::Item, 'd', 1, nullptr},
    {153, "13)      Altri accantonamenti", EecKind::Item, 'd', 1, nullptr},
    {154, "14)      Oneri diversi di gestione", EecKind::Item, 'd', 1, nullptr},
    {155, "Tot. intermedio", EecKind::Total, 'e', -1, "sum(d137:d154)"},
    {156, "Diff. tra valore e costi della produzione (A-B)", EecKind::Total, 'e', -1, "e134-e155"},
    {159, "C)         Proventi e oneri finanziari", EecKind::Heading, 0, -1, nullptr},
    {160, "15)      Proventi da partecipazioni", EecKind::Item, 'd', -1, nullptr},
    {161, "16)      Altri proventi finanziari:", EecKind::Item, 'd', -1, nullptr},
    {162, "a)    da crediti iscritti nelle immobilizzaz.", EecKind::Item, 'd', -1, nullptr},
    {163, "b)    da titoli iscritti nelle immobilizzaz.", EecKind::Item, 'd', -1, nullptr},
    {164, "c)    da titoli iscritti nell'attivo circol.", EecKind::Item, 'd', -1, nullptr},
    {165, "d)    proventi diversi dai precedenti", EecKind::Item, 'd', -1, nullptr},
    {166, "17)      Interessi e altri oneri finanziari", EecKind::Item, 'd', -1, nullptr},
    {167, "Totale proventi e oneri finanziari", EecKind::Total, 'e', -1, "sum(d160:d166)"},
    {169, "D)         Rettifiche di valore di att. finanziarie", EecKind::Heading, 0, -1, nullptr},
    {170, "18)      Rivalutazioni:", EecKind::Item, 'd', -1, nullptr},
    {171, "a)    di partecipazioni", EecKind::Item, 'd', -1, nullptr},
    {172, "b)    di immobilizzazioni finanziarie", EecKind::Item, 'd', -1, nullptr},
    {173, "c)    di titoli iscritti nell'attivo circol.", EecKind::Item, 'd', -1, nullptr},
    {174, "19)      Svalutazioni:", EecKind::Item, 'd', -1, nullptr},
    {175, "a)    di partecipazioni", EecKind::Item, 'd', -1, nullptr},
    {176, "b)    di immobilizzazioni finanziarie", EecKind::Item, 'd', -1, nullptr},
    {177, "c)    di titoli iscritti nell'attivo circol.", EecKind::Item, 'd', -1, nullptr},
    {178, "Totale rettifiche di valore att. dinanz.", EecKind::Total, 'e', -1, "sum(d170:d177)"},
    {180, "E)         Proventi e oneri straordinari", EecKind::Heading, 0, -1, nullptr},
    {181, "20)      Proventi con separata indicazione", EecKind::Item, 'd', -1, nullptr},
    {182, "21)      Oneri con separata indicazione", EecKind::Item, 'd', -1, nullptr},
    {183, "Totale delle partite straordinarie", EecKind::Total, 'e', -1, "sum(d181:d182)"},
    {185, "Risultato prima delle imposte (A-B+C+D+E)", EecKind::Total, 'e', -1,
     "e134-e155+e167+e178"},
    {187, "22)      Imposte sul reddito dell'esercizio", EecKind::Item, 'e', 1, nullptr},
    {189, "23)      Risultato d'esercizio", EecKind::Total, 'e', -1, "e185-e187"},
    {190, "24)      Rettifiche di valore", EecKind::Item, 'e', -1, nullptr},
    {191, "25)      Accantonamenti", EecKind::Item, 'e', -1, nullptr},
    {192, "26)      Utile (perdita) dell'esercizio", EecKind::Total, 'e', -1, "e189+e190+e191"},
};

}  // namespace

const std::vector<EecLine>& EecLines() {
    static const std::vector<EecLine> lines(std::begin(kLines), std::end(kLines));
    return lines;
}

std::string EecRowKey(int row) {
    return Format(row + 1, "000");
}

sheet::Sheet EecStatement(const std::string& year, const std::vector<std::string>& codes,
                          const std::function<std::optional<double>(const std::string&)>& balanceOf,
                          const std::function<void(const std::string& code)>& missing) {
    using sheet::CellRef;
    sheet::Sheet s;
    s.title = "Bilancio " + year;
    s.setDefaultFont(kBodyFont);
    // The labels and three columns of amounts fit the width of a report page.
    s.setColumnWidth(0, 45);
    s.setColumnWidth(1, 1);
    for (int c = 2; c <= 4; ++c) {
        s.setColumnWidth(c, 15);
    }
    s.beginBatch();
    s.setFormat({{0, 2}, {kStatementLines - 1, 4}}, "#.###");
    const std::vector<EecLine>& lines = EecLines();
    for (size_t i = 0; i < lines.size(); ++i) {
        const EecLine& l = lines[i];
        const int row = l.line - 1;
        s.setEntry({row, 0}, l.label);
        if (l.kind == EecKind::Title) {
            s.setFont({{row, 0}, {row, 0}}, kTitleFont);
        }
        const std::string& code = i < codes.size() ? codes[i] : std::string();
        if (code.empty()) {
            continue;
        }
        const std::optional<double> balance = balanceOf(code);
        if (!balance) {
            missing(code);
            continue;
        }
        if (auto n = sheet::SheetNumber::fromDouble(*balance * l.sign)) {
            s.setEntry({row, (l.column == 0 ? 'd' : l.column) - 'a'}, n->general());
        }
    }
    // The formulas last: a row's own balance never takes a subtotal's cell.
    for (const EecLine& l : lines) {
        if (l.formula != nullptr) {
            const int column = l.kind == EecKind::Gross ? 3 : l.column - 'a';
            s.setEntry(CellRef{l.line - 1, column}, std::string("=") + l.formula);
        }
    }
    s.endBatch();
    return s;
}

}  // namespace zelvo
