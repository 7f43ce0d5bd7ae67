#pragma once

namespace zelvo::duef {

// Field numbers shared by the three due-date archives ("sd", "st", "sf").
inline constexpr int kInvoiceNumber = 1;
inline constexpr int kInvoiceDate = 2;
inline constexpr int kPartyNumber = 3;
inline constexpr int kAmount = 4;
inline constexpr int kDueDate = 5;
inline constexpr int kSettledDate = 6;  // "sd", "sf": the registration that settled it
inline constexpr int kPartyDueKey = 7;  // "sd", "sf": party number + due date
inline constexpr int kPaymentType = 8;  // "sf": "rd" or "rb"

}  // namespace zelvo::duef
