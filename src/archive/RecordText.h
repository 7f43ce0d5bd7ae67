#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "isam/Record.h"

namespace zelvo {

// Records as lines of text, for the archive tool and the operator scripts: the primary key,
// then every value (an array field gives one value per element), separated by tabs.
// Numbers are written in their shortest decimal form ("1200", "0.5", "-41", "300000"); tabs, line
// ends and backslashes inside texts are escaped as \t, \n, \r and \\.
std::string RecordToLine(const std::string& primaryKey, const isam::Record& record);

// The values of a record, flattened as in a line (arrays spread), unescaped.
std::vector<std::string> RecordValues(const isam::Record& record);

// Reads a line back into a record of the given shape. Missing trailing values stay empty
// or 0. Returns an error text, empty on success.
std::string LineToRecord(std::string_view line, const isam::FieldDesc& desc,
                         std::string& primaryKey, isam::Record& record);

// One field (1-based) or array element ("60.3") in the form RecordValues gives; empty
// `error` on success.
std::string FieldText(const isam::Record& record, std::string_view field, std::string& error);

// The shortest plain decimal digits that read back as `value` ("300000", "0.0025", never
// "3e+05"); "0" for -0 too.
std::string ShortestNumber(double value);

}  // namespace zelvo
