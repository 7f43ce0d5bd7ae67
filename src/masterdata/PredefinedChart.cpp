#include "masterdata/PredefinedChart.h"

namespace zelvo {

const std::vector<PredefinedItem>& PredefinedChart() {
    static const std::vector<PredefinedItem> kItems = {
        {"00001", "m", "p", "000010000000000", "Crediti"},
        {"00002", "m", "p", "000020000000000", "Debiti"},
        {"00003", "m", "e", "000030000000000", "Ricavi"},
        {"00004", "m", "e", "000040000000000", "Costi"},
        {"00005", "cc", "p", "000010000500000", "Crediti clienti"},
        {"00006", "cc", "p", "000020000600000", "Debiti verso fornitori"},
        {"00007", "cc", "p", "000020000700000", "Agenti"},
        {"00008", "cc", "p", "000020000800000", "Imposta Valore Aggiunto"},
        {"00009", "cc", "e", "000030000900000", "Ricavi diversi"},
        {"00010", "cc", "e", "000040001000000", "Costi diversi"},
        {"00011", "s", "p", "000020000800011", "Iva acquisti"},
        {"00012", "s", "p", "000020000800012", "Iva vendite"},
        {"00013", "s", "p", "000020000800013", "Iva corrispettivi"},
        {"00014", "s", "p", "000020000800014", "Iva indetraibile"},
        {"00015", "s", "e", "000030000900015", "Abbuoni su acquisti"},
        {"00016", "s", "e", "000030000900016", "Rivalsa spese trasporto"},
        {"00017", "s", "e", "000030000900017", "Rivalsa spese imballo"},
        {"00018", "s", "e", "000030000900018", "Rivalsa spese varie"},
        {"00019", "s", "e", "000030000900019", "Rivalsa spese bollo"},
        {"00020", "s", "e", "000040001000020", "Abbuoni su vendite"},
        {"00021", "cc", "p", "000010002100000", "Portafoglio effetti"},
        {"00022", "s", "p", "000010002100022", "Crediti clienti ric. bancarie"},
    };
    return kItems;
}

}  // namespace zelvo
