#include "isam/SeekStatements.h"

namespace zelvo::isam {

std::string SeekSql(Seek kind, int keyField, const std::string& table,
                    const std::string& selectList, char mark, int scanLimit) {
    std::string col(1, 'k');
    col += std::to_string(keyField);
    if (keyField == 0) {
        col = "pk";
    }
    const std::string first = std::string(1, mark) + "1";
    const std::string second = std::string(1, mark) + "2";
    const std::string sel = "SELECT pk, " + selectList + " FROM " + table;
    const std::string order = keyField == 0 ? " ORDER BY pk" : " ORDER BY " + col + ", pk";
    const std::string pos = keyField == 0 ? "pk" : "(" + col + ", pk)";
    const std::string arg = keyField == 0 ? first : "(" + first + ", " + second + ")";
    const std::string limit = scanLimit > 0 ? " LIMIT " + std::to_string(scanLimit) : "";
    switch (kind) {
        case Seek::ByPrimaryKey:
            return sel + " WHERE pk = " + first;
        case Seek::Find:
            return sel + " WHERE " + col + " >= " + first + order + " LIMIT 1";
        case Seek::Next:
            return sel + " WHERE " + pos + " > " + arg + order + " LIMIT 1";
        case Seek::NextInclusive:
            return sel + " WHERE " + pos + " >= " + arg + order + " LIMIT 1";
        case Seek::Previous:
            return sel + " WHERE " + pos + " < " + arg +
                   (keyField == 0 ? " ORDER BY pk DESC" : " ORDER BY " + col + " DESC, pk DESC") +
                   " LIMIT 1";
        case Seek::ScanFrom:
            return sel + " WHERE " + col + " >= " + first + order + limit;
        case Seek::ScanAfter:
            return sel + " WHERE " + pos + " > " + arg + order + limit;
    }
    return {};
}

}  // namespace zelvo::isam
