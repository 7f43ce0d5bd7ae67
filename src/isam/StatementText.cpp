#include "isam/StatementText.h"

namespace zelvo::isam {

namespace {

// A column name: a letter and a field number. Built by appending: GCC 12 at -O3 mistakes
// `"f" + std::to_string(n)` for an overlapping copy (-Wrestrict).
std::string NumberedName(char letter, int number) {
    std::string name(1, letter);
    name += std::to_string(number);
    return name;
}

}  // namespace

std::string ValueColumn(int field) {
    return NumberedName('f', field);
}

std::string KeyColumn(int field) {
    return NumberedName('k', field);
}

std::vector<std::string> ValueColumns(const FieldDesc& desc) {
    std::vector<std::string> cols;
    for (int f = 1; f <= desc.count(); ++f) {
        const FieldSpec& fieldSpec = desc.field(f);
        if (fieldSpec.type == FieldType::TextArray) {
            for (int e = 1; e <= fieldSpec.arrayLength; ++e) {
                std::string name = ValueColumn(f);
                name += '_';
                name += std::to_string(e);
                cols.push_back(std::move(name));
            }
        } else {
            cols.push_back(ValueColumn(f));
        }
    }
    return cols;
}

std::string ColumnList(const std::vector<std::string>& columns) {
    std::string list;
    for (const std::string& c : columns) {
        list += (list.empty() ? "" : ", ") + c;
    }
    return list;
}

std::string TableColumnsSql(const FieldDesc& desc, const ColumnTypes& types) {
    std::string cols = types.primaryKey;
    const std::vector<std::string> names = ValueColumns(desc);
    size_t n = 0;
    for (int f = 1; f <= desc.count(); ++f) {
        const FieldSpec& field = desc.field(f);
        const int columns = field.type == FieldType::TextArray ? field.arrayLength : 1;
        const char* type = field.type == FieldType::Double ? types.real
                           : field.type == FieldType::Int16 || field.type == FieldType::Int32
                               ? types.integer
                               : types.text;
        for (int i = 0; i < columns; ++i) {
            cols += ", " + names[n++] + type;
        }
    }
    for (int f = 1; f <= desc.count(); ++f) {
        if (desc.field(f).keyLength > 0) {
            cols += ", " + KeyColumn(f) + types.key;
        }
    }
    return cols;
}

std::string SeekSql(Seek kind, int keyField, const std::string& table,
                    const std::string& selectList, char mark, int scanLimit) {
    const std::string col = keyField == 0 ? std::string("pk") : KeyColumn(keyField);
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
