#pragma once

#include "archive/Archives.h"
#include "isam/Record.h"
#include "session/Session.h"

namespace zelvo {

// Field numbers of the parameter record (archive "param", one record under the key "1"),
// as the catalogue describes it: "&,$,%,%,$,#,#,%,%,%,%,%,A50$,A50$,A50$,A20$,$,$,#,#".
namespace param {
inline constexpr const char* kKey = "1";
inline constexpr int kBackgroundColour = 1;  // 32-bit colour value
inline constexpr int kPrintFont = 2;
inline constexpr int kFontSize = 3;
inline constexpr int kLinesPerPage = 4;
inline constexpr int kPreviewZoom = 5;  // "40" ... "150"
inline constexpr int kMinimumVatPayable = 6;
inline constexpr int kExchangeRate = 7;  // lire per euro; 0 counts as 1
inline constexpr int kListLength = 8;    // lines of a search window; 0 counts as 30
inline constexpr int kShowPreviousDescriptions = 9;
inline constexpr int kShowToolbar = 10;
inline constexpr int kShowStatusBar = 11;
inline constexpr int kAgendaAtStartUp = 12;
// The lists the record keeps for screens outside the program's own settings: three of 50
// texts and one of 20, then two spare texts and two spare numbers.
inline constexpr int kList1 = 13;
inline constexpr int kList2 = 14;
inline constexpr int kList3 = 15;
inline constexpr int kList4 = 16;
inline constexpr int kSpareText1 = 17;
inline constexpr int kSpareText2 = 18;
inline constexpr int kSpareNumber1 = 19;
inline constexpr int kSpareNumber2 = 20;

inline constexpr int kDefaultListLength = 30;
inline constexpr const char* kDefaultPrintFont = "Courier New";
}  // namespace param

// The start-up's reading of the parameters: opens "param" (positions 1310 and 1313), reads
// the record "1", closes it and applies the settings to the program-wide values. A list
// length of 0 becomes 30, an exchange rate of 0 becomes 1 and an empty print font "Courier
// New"; the rest is taken as stored. Failures are reported and leave the values as they
// were; the result says whether the record was read.
bool ReadParameters(Archives& archives, ProgramValues& values);

// Fills a parameter record (already shaped by the archive's description) with what a new
// installation starts with: "Courier New" 10, 60 lines per page, zoom "100", minimum VAT
// payable 50000, 1936.27 lire per euro, 30 lines per search window, toolbar and status bar
// shown, agenda and previous descriptions off, background colour 0.
void SetDefaultParameters(isam::Record& record);

}  // namespace zelvo
