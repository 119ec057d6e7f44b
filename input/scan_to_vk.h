// The keys that read through the Windows keyboard state before DirectInput has
// the keyboard, each with the virtual key it reads as. Home reads as VK_CLEAR;
// backslash, slash and yen are the Japanese layout's keys.
#pragma once

#include <array>
#include <cstdint>

#include "input/key_codes.h"

namespace cfg {

struct ScanVk {
  uint8_t scan;
  uint8_t vk;
};

inline constexpr ScanVk kScanVkPairs[] = {
    {dik::kEscape, vk::kEscape},
    {dik::kDigit1, vk::kDigit1},
    {dik::kDigit2, vk::kDigit2},
    {dik::kDigit3, vk::kDigit3},
    {dik::kDigit4, vk::kDigit4},
    {dik::kDigit5, vk::kDigit5},
    {dik::kDigit6, vk::kDigit6},
    {dik::kDigit7, vk::kDigit7},
    {dik::kDigit8, vk::kDigit8},
    {dik::kDigit9, vk::kDigit9},
    {dik::kDigit0, vk::kDigit0},
    {dik::kMinus, vk::kMinus},
    {dik::kBack, vk::kBack},
    {dik::kTab, vk::kTab},
    {dik::kQ, vk::kQ},
    {dik::kW, vk::kW},
    {dik::kE, vk::kE},
    {dik::kR, vk::kR},
    {dik::kT, vk::kT},
    {dik::kY, vk::kY},
    {dik::kU, vk::kU},
    {dik::kI, vk::kI},
    {dik::kO, vk::kO},
    {dik::kP, vk::kP},
    {dik::kLBracket, vk::kLBracket},
    {dik::kRBracket, vk::kRBracket},
    {dik::kReturn, vk::kReturn},
    {dik::kLControl, vk::kLControl},
    {dik::kA, vk::kA},
    {dik::kS, vk::kS},
    {dik::kD, vk::kD},
    {dik::kF, vk::kF},
    {dik::kG, vk::kG},
    {dik::kH, vk::kH},
    {dik::kJ, vk::kJ},
    {dik::kK, vk::kK},
    {dik::kL, vk::kL},
    {dik::kSemicolon, vk::kSemicolon},
    {dik::kLShift, vk::kLShift},
    {dik::kBackslash, vk::kBackslash},
    {dik::kZ, vk::kZ},
    {dik::kX, vk::kX},
    {dik::kC, vk::kC},
    {dik::kV, vk::kV},
    {dik::kB, vk::kB},
    {dik::kN, vk::kN},
    {dik::kM, vk::kM},
    {dik::kComma, vk::kComma},
    {dik::kPeriod, vk::kPeriod},
    {dik::kSlash, vk::kSlash},
    {dik::kRShift, vk::kRShift},
    {dik::kMultiply, vk::kMultiply},
    {dik::kSpace, vk::kSpace},
    {dik::kCapital, vk::kCapital},
    {dik::kF1, vk::kF1},
    {dik::kF2, vk::kF2},
    {dik::kF3, vk::kF3},
    {dik::kF4, vk::kF4},
    {dik::kF5, vk::kF5},
    {dik::kF6, vk::kF6},
    {dik::kF7, vk::kF7},
    {dik::kF8, vk::kF8},
    {dik::kF9, vk::kF9},
    {dik::kF10, vk::kF10},
    {dik::kNumLock, vk::kNumLock},
    {dik::kScroll, vk::kScroll},
    {dik::kNumpad7, vk::kNumpad7},
    {dik::kNumpad8, vk::kNumpad8},
    {dik::kNumpad9, vk::kNumpad9},
    {dik::kSubtract, vk::kSubtract},
    {dik::kNumpad4, vk::kNumpad4},
    {dik::kNumpad5, vk::kNumpad5},
    {dik::kNumpad6, vk::kNumpad6},
    {dik::kAdd, vk::kAdd},
    {dik::kNumpad1, vk::kNumpad1},
    {dik::kNumpad2, vk::kNumpad2},
    {dik::kNumpad3, vk::kNumpad3},
    {dik::kNumpad0, vk::kNumpad0},
    {dik::kDecimal, vk::kDecimal},
    {dik::kF11, vk::kF11},
    {dik::kF12, vk::kF12},
    {dik::kF13, vk::kF13},
    {dik::kF14, vk::kF14},
    {dik::kF15, vk::kF15},
    {dik::kConvert, vk::kConvert},
    {dik::kNoConvert, vk::kNoConvert},
    {dik::kYen, vk::kYen},
    {dik::kNumpadEnter, vk::kNumpadEnter},
    {dik::kRControl, vk::kRControl},
    {dik::kNumpadComma, vk::kNumpadComma},
    {dik::kDivide, vk::kDivide},
    {dik::kRMenu, vk::kRMenu},
    {dik::kHome, vk::kHome},
    {dik::kUp, vk::kUp},
    {dik::kPrior, vk::kPrior},
    {dik::kLeft, vk::kLeft},
    {dik::kRight, vk::kRight},
    {dik::kEnd, vk::kEnd},
    {dik::kDown, vk::kDown},
    {dik::kNext, vk::kNext},
    {dik::kInsert, vk::kInsert},
    {dik::kDelete, vk::kDelete},
};

// The virtual key of a DirectInput key code, 0 where there is none.
constexpr uint8_t VkOfKey(int32_t code) {
  for (const ScanVk& pair : kScanVkPairs) {
    if (pair.scan == code) return pair.vk;
  }
  return 0;
}

}  // namespace cfg
