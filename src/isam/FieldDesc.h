#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvo::isam {

enum class FieldType { Text, Double, Int16, Int32, TextArray };

struct FieldSpec {
    FieldType type = FieldType::Text;
    int keyLength = 0;    // > 0: an indexed text field whose key is its first keyLength chars
    int arrayLength = 0;  // TextArray: number of elements
};

// A parsed field description: "$" text, "#" double, "%" 16-bit, "&" 32-bit integer,
// "xN$"/"XN$" indexed text with an N-character key, "AN$" an array of N texts. The ","
// separators are optional ("#############" is thirteen doubles).
class FieldDesc {
  public:
    static std::optional<FieldDesc> parse(std::string_view text);

    const std::vector<FieldSpec>& fields() const { return m_fields; }
    int count() const { return static_cast<int>(m_fields.size()); }
    // Key field n (1-based) names an indexed field; 0 is the primary key.
    bool isKeyField(int n) const;
    const FieldSpec& field(int n) const { return m_fields.at(static_cast<size_t>(n - 1)); }
    const std::string& text() const { return m_text; }

  private:
    std::vector<FieldSpec> m_fields;
    std::string m_text;
};

}  // namespace zelvo::isam
