#include "isam/StatementText.h"

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

namespace {

bool IsNumber(const FieldDesc& d, int field) {
    if (field < 1 || field > d.count()) {
        return false;
    }
    const FieldType t = d.field(field).type;
    return t == FieldType::Double || t == FieldType::Int16 || t == FieldType::Int32;
}

// Names are appended piece by piece: GCC 12 at -O3 takes `"f" + std::to_string()` for an
// overlapping copy (-Wrestrict).
std::string ValueColumn(int field) {
    std::string name(1, 'f');
    name += std::to_string(field);
    return name;
}

}  // namespace

bool NumberChangeFits(const FieldDesc& desc, const RecordManager::NumberChange& change) {
    for (const auto& [field, amount] : change.add) {
        if (!IsNumber(desc, field)) {
            return false;
        }
    }
    for (const auto& sum : change.sums) {
        if (!IsNumber(desc, sum.field)) {
            return false;
        }
        for (const auto& [field, sign] : sum.terms) {
            if (!IsNumber(desc, field)) {
                return false;
            }
        }
    }
    for (int field : change.returning) {
        if (field < 1 || field > desc.count() || desc.field(field).type == FieldType::TextArray) {
            return false;
        }
    }
    return true;
}

std::string NumberChangeSql(const std::string& table, const RecordManager::NumberChange& change,
                            char mark) {
    auto amount = [mark](size_t i) {
        std::string p(1, mark);
        p += std::to_string(i + 2);
        return p;
    };
    // In SET every right-hand side sees the record as it was: a sum names an added field as
    // the field plus its amount.
    auto term = [&](int field) {
        for (size_t i = 0; i < change.add.size(); ++i) {
            if (change.add[i].first == field) {
                return "(" + ValueColumn(field) + " + " + amount(i) + ")";
            }
        }
        return ValueColumn(field);
    };
    std::string sets;
    for (size_t i = 0; i < change.add.size(); ++i) {
        const std::string col = ValueColumn(change.add[i].first);
        sets += (sets.empty() ? "" : ", ") + col + " = " + col + " + " + amount(i);
    }
    for (const auto& sum : change.sums) {
        std::string expr = "0";
        for (const auto& [field, sign] : sum.terms) {
            expr += (sign < 0 ? " - " : " + ") + term(field);
        }
        sets += (sets.empty() ? "" : ", ") + ValueColumn(sum.field) + " = " + expr;
    }
    if (sets.empty()) {
        return {};
    }
    return "UPDATE " + table + " SET " + sets + " WHERE pk = " + std::string(1, mark) + "1";
}

}  // namespace zelvo::isam
