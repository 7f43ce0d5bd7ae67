#include "isam/Record.h"

#include <stdexcept>

namespace zelvo::isam {

namespace {

FieldValue emptyValue(const FieldSpec& f) {
    switch (f.type) {
        case FieldType::Text:
            return std::string();
        case FieldType::Double:
            return 0.0;
        case FieldType::Int16:
            return std::int16_t{0};
        case FieldType::Int32:
            return std::int32_t{0};
        case FieldType::TextArray:
            return std::vector<std::string>(static_cast<size_t>(f.arrayLength));
    }
    return std::string();
}

}  // namespace

Record::Record(const FieldDesc& desc) {
    m_values.reserve(desc.fields().size());
    for (const FieldSpec& f : desc.fields()) {
        m_values.push_back(emptyValue(f));
    }
}

const FieldValue& Record::value(int field) const {
    if (field < 1 || field > size()) {
        throw std::logic_error("record field out of range: " + std::to_string(field));
    }
    return m_values[static_cast<size_t>(field - 1)];
}

FieldValue& Record::value(int field) {
    if (field < 1 || field > size()) {
        throw std::logic_error("record field out of range: " + std::to_string(field));
    }
    return m_values[static_cast<size_t>(field - 1)];
}

const std::string& Record::text(int field) const {
    const auto* s = std::get_if<std::string>(&value(field));
    if (s == nullptr) {
        throw std::logic_error("field " + std::to_string(field) + " is not a text");
    }
    return *s;
}

const std::string& Record::text(int field, int element) const {
    const auto* a = std::get_if<std::vector<std::string>>(&value(field));
    if (a == nullptr || element < 1 || element > static_cast<int>(a->size())) {
        throw std::logic_error("field " + std::to_string(field) + " has no element " +
                               std::to_string(element));
    }
    return (*a)[static_cast<size_t>(element - 1)];
}

double Record::number(int field) const {
    const FieldValue& v = value(field);
    if (const auto* d = std::get_if<double>(&v)) {
        return *d;
    }
    if (const auto* i = std::get_if<std::int16_t>(&v)) {
        return *i;
    }
    if (const auto* i = std::get_if<std::int32_t>(&v)) {
        return *i;
    }
    throw std::logic_error("field " + std::to_string(field) + " is not a number");
}

void Record::setText(int field, std::string text) {
    auto* s = std::get_if<std::string>(&value(field));
    if (s == nullptr) {
        throw std::logic_error("field " + std::to_string(field) + " is not a text");
    }
    *s = std::move(text);
}

void Record::setText(int field, int element, std::string text) {
    auto* a = std::get_if<std::vector<std::string>>(&value(field));
    if (a == nullptr || element < 1 || element > static_cast<int>(a->size())) {
        throw std::logic_error("field " + std::to_string(field) + " has no element " +
                               std::to_string(element));
    }
    (*a)[static_cast<size_t>(element - 1)] = std::move(text);
}

void Record::setNumber(int field, double v) {
    FieldValue& slot = value(field);
    if (std::holds_alternative<double>(slot)) {
        slot = v;
    } else if (std::holds_alternative<std::int16_t>(slot)) {
        slot = static_cast<std::int16_t>(v);
    } else if (std::holds_alternative<std::int32_t>(slot)) {
        slot = static_cast<std::int32_t>(v);
    } else {
        throw std::logic_error("field " + std::to_string(field) + " is not a number");
    }
}

bool Record::matches(const FieldDesc& desc) const {
    if (size() != desc.count()) {
        return false;
    }
    for (int i = 1; i <= size(); ++i) {
        const FieldSpec& f = desc.field(i);
        const FieldValue& v = value(i);
        switch (f.type) {
            case FieldType::Text:
                if (!std::holds_alternative<std::string>(v)) {
                    return false;
                }
                break;
            case FieldType::Double:
                if (!std::holds_alternative<double>(v)) {
                    return false;
                }
                break;
            case FieldType::Int16:
                if (!std::holds_alternative<std::int16_t>(v)) {
                    return false;
                }
                break;
            case FieldType::Int32:
                if (!std::holds_alternative<std::int32_t>(v)) {
                    return false;
                }
                break;
            case FieldType::TextArray: {
                const auto* a = std::get_if<std::vector<std::string>>(&v);
                if (a == nullptr || static_cast<int>(a->size()) != f.arrayLength) {
                    return false;
                }
                break;
            }
        }
    }
    return true;
}

void Record::clear() {
    for (FieldValue& v : m_values) {
        std::visit(
            [](auto& x) {
                using T = std::decay_t<decltype(x)>;
                if constexpr (std::is_same_v<T, std::vector<std::string>>) {
                    for (auto& s : x) {
                        s.clear();
                    }
                } else {
                    x = T{};
                }
            },
            v);
    }
}

}  // namespace zelvo::isam
