#pragma once

// What both backends share about an archive's rows: the handle's place in a key order, and
// how a row of the table's columns (pk, then every value column with arrays expanded, as
// StatementText's select list names them) becomes a record.

#include <string>
#include <variant>
#include <vector>

#include "isam/FieldDesc.h"
#include "isam/Record.h"

namespace zelvo::isam {

// The handle's place in a key order. A position may be "virtual": just before (key, pk)
// rather than on a record, as after VmxBOF or a failed find.
struct Cursor {
    bool set = false;
    bool inclusive = false;
    std::string pk;
    std::vector<std::string> keys;  // every indexed field's key as the backend orders it
};

// Fills `pk` and `rec` (given `desc`'s shape first if it has another) from one row:
// `text(column, into)` assigns a column's text, `number(column)` gives its value. Strings
// are assigned in place, so that a record read again allocates nothing.
template <class Text, class Number>
void ReadRow(const FieldDesc& desc, Text text, Number number, std::string& pk, Record& rec) {
    text(0, pk);
    if (!rec.matches(desc)) {
        rec = Record(desc);
    }
    int col = 1;
    for (int f = 1; f <= desc.count(); ++f) {
        FieldValue& v = rec.value(f);
        switch (desc.field(f).type) {
            case FieldType::Text:
                text(col++, std::get<std::string>(v));
                break;
            case FieldType::Double:
            case FieldType::Int16:
            case FieldType::Int32:
                rec.setNumber(f, number(col++));
                break;
            case FieldType::TextArray:
                for (auto& e : std::get<std::vector<std::string>>(v)) {
                    text(col++, e);
                }
                break;
        }
    }
}

}  // namespace zelvo::isam
