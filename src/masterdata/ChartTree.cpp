#include "masterdata/ChartTree.h"

#include <map>

#include "masterdata/Chart.h"

namespace zelvo {

std::vector<std::string> ChartStructure(Archives& a) {
    const std::vector<chart::Item> mastri = chart::ItemsOfKind(a, chart::kMastro);
    std::map<std::string, std::vector<chart::Item>> conti;       // by mastro
    std::map<std::string, std::vector<chart::Item>> sottoconti;  // by conto
    for (chart::Item& c : chart::ItemsOfKind(a, chart::kConto)) {
        conti[c.mastroNumber].push_back(std::move(c));
    }
    for (chart::Item& s : chart::ItemsOfKind(a, chart::kSottoconto)) {
        sottoconti[s.contoNumber].push_back(std::move(s));
    }
    std::vector<std::string> items{TreeItem(0, "Piano dei conti")};
    for (const auto& [nature, caption] :
         {std::pair<const char*, const char*>{"p", "Mastri patrimoniali"},
          {"e", "Mastri economici"}}) {
        items.push_back(TreeItem(1, caption));
        for (const chart::Item& m : mastri) {
            if (m.nature != nature) {
                continue;
            }
            items.push_back(TreeItem(2, m.description));
            for (const chart::Item& c : conti[m.number]) {
                items.push_back(TreeItem(3, c.description));
                for (const chart::Item& s : sottoconti[c.number]) {
                    items.push_back(TreeItem(4, s.description));
                }
            }
        }
    }
    return items;
}

ChartTree::ChartTree(Session& session) : ScreenLogic(session, layout()) {}

FormSpec ChartTree::layout() {
    FormSpec f;
    f.name = "LISTAPC";
    f.title = "Struttura piano dei conti";
    f.tree(kTree, 0);
    return f;
}

void ChartTree::load() {
    form().setItems(kTree, ChartStructure(archives()));
}

}  // namespace zelvo
