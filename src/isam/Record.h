#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "isam/FieldDesc.h"

namespace zelvo::isam {

using FieldValue =
    std::variant<std::string, double, std::int16_t, std::int32_t, std::vector<std::string>>;

// One record's fields, typed as its archive's field description says. Fields are numbered
// from 1, as the program names them. Reading a field as the wrong kind is a programming
// error and throws std::logic_error.
class Record {
  public:
    Record() = default;
    explicit Record(const FieldDesc& desc);

    int size() const { return static_cast<int>(m_values.size()); }
    bool empty() const { return m_values.empty(); }

    const FieldValue& value(int field) const;
    FieldValue& value(int field);

    // Text field, or the element (1-based) of an array field.
    const std::string& text(int field) const;
    const std::string& text(int field, int element) const;
    // Numeric field of any width.
    double number(int field) const;

    void setText(int field, std::string text);
    void setText(int field, int element, std::string text);
    // Stores into the field's own type: a 16- or 32-bit field takes the integer part.
    void setNumber(int field, double value);

    // Whether every value has the type its field fieldSpec asks for.
    bool matches(const FieldDesc& desc) const;

    // Blank every field to the empty value of its type, keeping the shape.
    void clear();

    bool operator==(const Record& other) const = default;

  private:
    std::vector<FieldValue> m_values;
};

}  // namespace zelvo::isam
