#pragma once

#include "FixedTime.h"

#include <QString>
#include <cstdint>

// Every persisted setting, one field per stored key, named like the key.
// Colours are 0x00BBGGRR; key codes are virtual-key codes.
struct SettingsRecord {
    // "ColorSettings"
    std::int32_t TimeColor = 0;
    std::int32_t LEDBack = 0;
    std::int32_t ScoreColor = 0;
    std::int32_t PeriodColor = 0;
    std::int32_t FormBack = 0;
    std::int32_t LEDSelected = 0;
    std::int32_t BorderColor = 0;
    std::int32_t HomeColor = 0;
    std::int32_t VisitorColor = 0;
    std::int16_t LEDSelectedWidth = 0;
    // "KeySettings"
    std::int16_t StartStopJamClockKey = 0;
    std::int16_t ResetJamClockKey = 0;
    std::int16_t StartStopPeriodClockKey = 0;
    std::int16_t ResetPeriodClockKey = 0;
    std::int16_t ClockSwitchKey = 0;
    std::int16_t SepTimeKey = 0;
    std::int16_t ClearKey = 0;
    std::int16_t BuzzerKey = 0;
    std::int16_t PeriodEndSoundKey = 0;
    std::int16_t PenaltyIncrementSecKey = 0;
    QString BuzzerFile;
    QString PeriodEndSoundFile;
    std::int16_t SuppressPeriodSound = 0;
    std::int16_t PenaltyIncrementSec = 0;
    std::int32_t NumLockForce = 0;
    // "TextSettings"
    QString TitleText;
    QString HomeText;
    QString VisitorText;
    // "PicSettings"
    QString HomePic;
    QString VisitorPic;
    QString BoardPic;
    std::int16_t LEDType = 0;

    bool operator==(const SettingsRecord &) const = default;
};

// The program-wide settings: filled once at start, replaced afterwards only
// when the Options dialog is confirmed.
inline SettingsRecord Settings;

// The times the reset commands return the jam and period clocks to; set when
// the scoreboard loads and replaced by typed times.
inline FixedTime JamResetTime;
inline FixedTime PeriodResetTime;
