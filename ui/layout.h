// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Every control of the main window, where it stands and how it looks, area by area: the
// con-rods, the pistons, the extras, the commands, the rod-piston assemblies and the
// bob-weights. Boxes and line ends are in twips (1/1440 inch, 15 to a pixel at 96 dots per
// inch) from the top-left corner of the client area.
#pragma once

#include <array>
#include <string_view>

namespace ui {

enum class Kind {
    Field,    // a single-line text field the user types a weight into
    Button,   // one of the three commands
    Caption,  // a label whose text never changes
    Cell,     // a label that Calculate writes and Clear empties
};

enum class Style {
    Plain,           // fields and buttons: the desktop's own font, nothing set
    SectionHeading,  // 9.75 pt, bold, italic, underlined
    SubHeading,      // 8.25 pt, bold, italic, underlined
    FieldCaption,    // 9.75 pt, bold, italic
    ColumnCaption,   // 8.25 pt, bold
    CellStyle,       // 8.25 pt, bold, a thin border round the background of an empty field
    BalanceCell,     // as a cell, with red text
};

struct Box {
    int left;
    int top;
    int width;
    int height;
};

// The areas of the window, each a group of controls to assistive technology. The optimal and
// the retaining blocks lie within the bob-weights.
enum class Area {
    ConRods,
    Pistons,
    Extras,
    Commands,
    Assemblies,
    BobWeights,
    Optimal,
    Retaining,
};

struct Control {
    std::string_view name;
    Area area;
    Kind kind;
    Style style;
    Box box;
    std::string_view text;
};

// A straight solid line in the window-text colour from (x1, y1) to (x2, y2).
struct Line {
    std::string_view name;
    int x1;
    int y1;
    int x2;
    int y2;
    int width;  // pixels
};

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidth = 9225;
inline constexpr int kClientHeight = 8070;
inline constexpr std::string_view kWindowName = "Form1";
inline constexpr std::string_view kTitle = "Torvane - Quillon Assistant";

using enum Area;
using enum Kind;
using enum Style;

// clang-format off
inline constexpr std::array kControls = std::to_array<Control>({
    // Con-rod area
    {"Label1",     ConRods,    Caption, SectionHeading, {1080,  120, 1935, 255}, "CON-RODS"},
    {"Label2",     ConRods,    Caption, ColumnCaption,  {1080,  480,  735, 255}, "Big End"},
    {"Label3",     ConRods,    Caption, ColumnCaption,  {2160,  480,  975, 255}, "Little End"},
    {"Label4",     ConRods,    Caption, ColumnCaption,  { 360,  840,  375, 255}, "1"},
    {"Label5",     ConRods,    Caption, ColumnCaption,  { 360, 1320,  375, 255}, "2"},
    {"Label6",     ConRods,    Caption, ColumnCaption,  { 360, 1800,  375, 255}, "3"},
    {"Label7",     ConRods,    Caption, ColumnCaption,  { 360, 2280,  375, 255}, "4"},
    {"Label8",     ConRods,    Caption, ColumnCaption,  { 360, 2760,  375, 255}, "5"},
    {"Label9",     ConRods,    Caption, ColumnCaption,  { 360, 3240,  375, 255}, "6"},
    {"Label10",    ConRods,    Caption, ColumnCaption,  { 360, 3720,  375, 255}, "7"},
    {"Label11",    ConRods,    Caption, ColumnCaption,  { 360, 4200,  375, 255}, "8"},
    {"Bigend1",    ConRods,    Field,   Plain,          {1080,  840,  735, 285}, ""},
    {"Bigend2",    ConRods,    Field,   Plain,          {1080, 1320,  735, 285}, ""},
    {"Bigend3",    ConRods,    Field,   Plain,          {1080, 1800,  735, 285}, ""},
    {"Bigend4",    ConRods,    Field,   Plain,          {1080, 2280,  735, 285}, ""},
    {"Bigend5",    ConRods,    Field,   Plain,          {1080, 2760,  735, 285}, ""},
    {"Bigend6",    ConRods,    Field,   Plain,          {1080, 3240,  735, 285}, ""},
    {"Bigend7",    ConRods,    Field,   Plain,          {1080, 3720,  735, 285}, ""},
    {"Bigend8",    ConRods,    Field,   Plain,          {1080, 4200,  735, 285}, ""},
    {"Littleend1", ConRods,    Field,   Plain,          {2280,  840,  735, 285}, ""},
    {"Littleend2", ConRods,    Field,   Plain,          {2280, 1320,  735, 285}, ""},
    {"Littleend3", ConRods,    Field,   Plain,          {2280, 1800,  735, 285}, ""},
    {"Littleend4", ConRods,    Field,   Plain,          {2280, 2280,  735, 285}, ""},
    {"Littleend5", ConRods,    Field,   Plain,          {2280, 2760,  735, 285}, ""},
    {"Littleend6", ConRods,    Field,   Plain,          {2280, 3240,  735, 285}, ""},
    {"Littleend7", ConRods,    Field,   Plain,          {2280, 3720,  735, 285}, ""},
    {"Littleend8", ConRods,    Field,   Plain,          {2280, 4200,  735, 285}, ""},

    // Piston area
    {"Label23",    Pistons,    Caption, SectionHeading, {3960,  120, 1935, 255}, "PISTONS"},
    {"Label12",    Pistons,    Caption, ColumnCaption,  {4080,  840,  375, 255}, "A"},
    {"Label13",    Pistons,    Caption, ColumnCaption,  {4080, 1320,  375, 255}, "B"},
    {"Label14",    Pistons,    Caption, ColumnCaption,  {4080, 1800,  375, 255}, "C"},
    {"Label15",    Pistons,    Caption, ColumnCaption,  {4080, 2280,  375, 255}, "D"},
    {"Label16",    Pistons,    Caption, ColumnCaption,  {4080, 2760,  375, 255}, "E"},
    {"Label17",    Pistons,    Caption, ColumnCaption,  {4080, 3240,  375, 255}, "F"},
    {"Label18",    Pistons,    Caption, ColumnCaption,  {4080, 3720,  375, 255}, "G"},
    {"Label19",    Pistons,    Caption, ColumnCaption,  {4080, 4200,  375, 255}, "H"},
    {"PistonA",    Pistons,    Field,   Plain,          {4800,  840,  735, 285}, ""},
    {"PistonB",    Pistons,    Field,   Plain,          {4800, 1320,  735, 285}, ""},
    {"PistonC",    Pistons,    Field,   Plain,          {4800, 1800,  735, 285}, ""},
    {"PistonD",    Pistons,    Field,   Plain,          {4800, 2280,  735, 285}, ""},
    {"PistonE",    Pistons,    Field,   Plain,          {4800, 2760,  735, 285}, ""},
    {"PistonF",    Pistons,    Field,   Plain,          {4800, 3240,  735, 285}, ""},
    {"PistonG",    Pistons,    Field,   Plain,          {4800, 3720,  735, 285}, ""},
    {"PistonH",    Pistons,    Field,   Plain,          {4800, 4200,  735, 285}, ""},

    // Extras area
    {"Label20",    Extras,     Caption, FieldCaption,   {6480, 1560,  855, 255}, "Rings"},
    {"Rings",      Extras,     Field,   Plain,          {7680, 1560,  735, 285}, ""},
    {"Label46",    Extras,     Caption, FieldCaption,   {6480, 2160,  855, 255}, "Locks"},
    {"Locks",      Extras,     Field,   Plain,          {7680, 2160,  735, 285}, ""},
    {"Label21",    Extras,     Caption, FieldCaption,   {6480, 2760,  855, 255}, "Shells"},
    {"Shells",     Extras,     Field,   Plain,          {7680, 2760,  735, 285}, ""},
    {"Label22",    Extras,     Caption, FieldCaption,   {6480, 3360,  855, 255}, "Oil"},
    {"Oil",        Extras,     Field,   Plain,          {7680, 3360,  735, 285}, ""},
    {"Label24",    Extras,     Caption, FieldCaption,   {6240, 3960, 1095, 255}, "Recip. %"},
    {"Recip",      Extras,     Field,   Plain,          {7680, 3960,  735, 285}, ""},

    // Command column
    {"Calcbutton",  Commands,   Button, Plain,          {7560,  120,  855, 375}, "Calculate"},
    {"Clearbutton", Commands,   Button, Plain,          {7560,  600,  855, 255}, "Clear"},
    {"Printbutton", Commands,   Button, Plain,          {7560,  960,  855, 255}, "Print"},


    // Assembly area
    {"Label25",    Assemblies, Caption, SectionHeading, { 120, 4800, 4215, 255}, "ROD-PISTON ASSEMBLIES"},
    {"Label26",    Assemblies, Caption, ColumnCaption,  { 240, 5160,  855, 255}, "Rod No."},
    {"Label27",    Assemblies, Caption, ColumnCaption,  {1200, 5160,  855, 255}, "Piston"},
    {"Label36",    Assemblies, Caption, ColumnCaption,  {2160, 5160,  855, 255}, "Rod No."},
    {"Label37",    Assemblies, Caption, ColumnCaption,  {3120, 5160,  855, 255}, "Piston"},
    {"Label29",    Assemblies, Cell,    CellStyle,      { 480, 5520,  375, 255}, ""},
    {"Label28",    Assemblies, Cell,    CellStyle,      {1440, 5520,  375, 255}, ""},
    {"Label39",    Assemblies, Cell,    CellStyle,      {2400, 5520,  375, 255}, ""},
    {"Label38",    Assemblies, Cell,    CellStyle,      {3360, 5520,  375, 255}, ""},
    {"Label30",    Assemblies, Cell,    CellStyle,      { 480, 5880,  375, 255}, ""},
    {"Label33",    Assemblies, Cell,    CellStyle,      {1440, 5880,  375, 255}, ""},
    {"Label40",    Assemblies, Cell,    CellStyle,      {2400, 5880,  375, 255}, ""},
    {"Label43",    Assemblies, Cell,    CellStyle,      {3360, 5880,  375, 255}, ""},
    {"Label31",    Assemblies, Cell,    CellStyle,      { 480, 6240,  375, 255}, ""},
    {"Label34",    Assemblies, Cell,    CellStyle,      {1440, 6240,  375, 255}, ""},
    {"Label41",    Assemblies, Cell,    CellStyle,      {2400, 6240,  375, 255}, ""},
    {"Label44",    Assemblies, Cell,    CellStyle,      {3360, 6240,  375, 255}, ""},
    {"Label32",    Assemblies, Cell,    CellStyle,      { 480, 6600,  375, 255}, ""},
    {"Label35",    Assemblies, Cell,    CellStyle,      {1440, 6600,  375, 255}, ""},
    {"Label42",    Assemblies, Cell,    CellStyle,      {2400, 6600,  375, 255}, ""},
    {"Label45",    Assemblies, Cell,    CellStyle,      {3360, 6600,  375, 255}, ""},

    // Bob-weight area
    {"Label47",    BobWeights, Caption, SectionHeading, {4680, 4800, 3615, 255}, "BOB-WEIGHT CALCULATIONS"},
    {"Label48",    Optimal,    Caption, SubHeading,     {4440, 5160, 1935, 495}, "Optimal (may require rod re-numbering)"},
    {"Label49",    Retaining,  Caption, SubHeading,     {6960, 5160, 2055, 495}, "Retaining Rod/Cyl Numbering"},
    {"Label50",    Optimal,    Caption, SubHeading,     {4440, 5640,  615, 255}, "Rods"},
    {"Label53",    Optimal,    Caption, SubHeading,     {5400, 5640, 1095, 255}, "Bob-Weight"},
    {"Label51",    Retaining,  Caption, SubHeading,     {7080, 5640,  615, 255}, "Rods"},
    {"Label54",    Retaining,  Caption, SubHeading,     {8040, 5640, 1095, 255}, "Bob-Weight"},
    {"Label70",    Optimal,    Caption, SubHeading,     {4080, 7680, 1335, 255}, "Balance Using"},
    {"Label72",    Retaining,  Caption, SubHeading,     {6720, 7680, 1335, 255}, "Balance Using"},
    {"Label52",    Optimal,    Cell,    CellStyle,      {4320, 6000,  735, 255}, ""},
    {"Label62",    Optimal,    Cell,    CellStyle,      {5520, 6000,  855, 255}, ""},
    {"Label58",    Retaining,  Caption, CellStyle,      {6960, 6000,  735, 255}, "1  2"},
    {"Label66",    Retaining,  Cell,    CellStyle,      {8160, 6000,  855, 255}, ""},
    {"Label55",    Optimal,    Cell,    CellStyle,      {4320, 6360,  735, 255}, ""},
    {"Label63",    Optimal,    Cell,    CellStyle,      {5520, 6360,  855, 255}, ""},
    {"Label59",    Retaining,  Caption, CellStyle,      {6960, 6360,  735, 255}, "3  4"},
    {"Label67",    Retaining,  Cell,    CellStyle,      {8160, 6360,  855, 255}, ""},
    {"Label56",    Optimal,    Cell,    CellStyle,      {4320, 6720,  735, 255}, ""},
    {"Label64",    Optimal,    Cell,    CellStyle,      {5520, 6720,  855, 255}, ""},
    {"Label60",    Retaining,  Caption, CellStyle,      {6960, 6720,  735, 255}, "5  6"},
    {"Label68",    Retaining,  Cell,    CellStyle,      {8160, 6720,  855, 255}, ""},
    {"Label57",    Optimal,    Cell,    CellStyle,      {4320, 7080,  735, 255}, ""},
    {"Label65",    Optimal,    Cell,    CellStyle,      {5520, 7080,  855, 255}, ""},
    {"Label61",    Retaining,  Caption, CellStyle,      {6960, 7080,  735, 255}, "7  8"},
    {"Label69",    Retaining,  Cell,    CellStyle,      {8160, 7080,  855, 255}, ""},
    {"Label71",    Optimal,    Cell,    BalanceCell,    {5520, 7680,  855, 255}, ""},
    {"Label73",    Retaining,  Cell,    BalanceCell,    {8160, 7680,  855, 255}, ""},
});
// clang-format on

// Each area's group, in the order they are made, an area before those within it, and its
// name: the text of its heading, or a name of its own where it has none. A group covers its
// controls and no more.
struct Group {
    Area area;
    Area within;  // the area itself for one that lies within no other
    std::string_view heading;
    std::string_view name;
};

// clang-format off
inline constexpr std::array kGroups = std::to_array<Group>({
    {ConRods,    ConRods,    "Label1",  ""},
    {Pistons,    Pistons,    "Label23", ""},
    {Extras,     Extras,     "",        "Extras"},
    {Commands,   Commands,   "",        "Commands"},
    {Assemblies, Assemblies, "Label25", ""},
    {BobWeights, BobWeights, "Label47", ""},
    {Optimal,    BobWeights, "Label48", ""},
    {Retaining,  BobWeights, "Label49", ""},
});
// clang-format on

// The divider under the inputs, the connectors of the rod-piston pairs and the divider
// between the two bob-weight blocks.
// clang-format off
inline constexpr std::array kLines = std::to_array<Line>({
    {"Line1",   240, 4680, 8760, 4680, 2},
    {"Line2",   960, 5640, 1320, 5640, 2},
    {"Line3",   960, 6000, 1320, 6000, 2},
    {"Line4",   960, 6360, 1320, 6360, 2},
    {"Line5",   960, 6720, 1320, 6720, 2},
    {"Line6",  2880, 5640, 3240, 5640, 2},
    {"Line7",  2880, 6000, 3240, 6000, 2},
    {"Line8",  2880, 6360, 3240, 6360, 2},
    {"Line9",  2880, 6720, 3240, 6720, 2},
    {"Line10", 6600, 5160, 6600, 7920, 1},
});
// clang-format on

// What each result cell holds, as a screen reader says it before the cell's figure: the
// rod-piston assemblies row by row from the lightest rod, the optimal and the retaining
// crankpins from the front of the engine, and the two figures to balance with.
struct CellDescription {
    std::string_view cell;
    std::string_view description;
};

// clang-format off
inline constexpr std::array kCellDescriptions = std::to_array<CellDescription>({
    {"Label29", "Rod, row 1"},  {"Label28", "Piston, row 1"},
    {"Label30", "Rod, row 2"},  {"Label33", "Piston, row 2"},
    {"Label31", "Rod, row 3"},  {"Label34", "Piston, row 3"},
    {"Label32", "Rod, row 4"},  {"Label35", "Piston, row 4"},
    {"Label39", "Rod, row 5"},  {"Label38", "Piston, row 5"},
    {"Label40", "Rod, row 6"},  {"Label43", "Piston, row 6"},
    {"Label41", "Rod, row 7"},  {"Label44", "Piston, row 7"},
    {"Label42", "Rod, row 8"},  {"Label45", "Piston, row 8"},
    {"Label52", "Optimal pin 1 rods"}, {"Label62", "Optimal pin 1 bob-weight"},
    {"Label55", "Optimal pin 2 rods"}, {"Label63", "Optimal pin 2 bob-weight"},
    {"Label56", "Optimal pin 3 rods"}, {"Label64", "Optimal pin 3 bob-weight"},
    {"Label57", "Optimal pin 4 rods"}, {"Label65", "Optimal pin 4 bob-weight"},
    {"Label66", "Retaining pin 1 bob-weight"},
    {"Label67", "Retaining pin 2 bob-weight"},
    {"Label68", "Retaining pin 3 bob-weight"},
    {"Label69", "Retaining pin 4 bob-weight"},
    {"Label71", "Balance using, optimal"},
    {"Label73", "Balance using, retaining"},
});
// clang-format on

// The names a screen reader gives the captions that stand for a retaining crankpin: the pin,
// from the front of the engine, and the two rods it carries.
struct CaptionName {
    std::string_view caption;
    std::string_view name;
};

// clang-format off
inline constexpr std::array kCaptionNames = std::to_array<CaptionName>({
    {"Label58", "Retaining pin 1, rods 1 and 2"},
    {"Label59", "Retaining pin 2, rods 3 and 4"},
    {"Label60", "Retaining pin 3, rods 5 and 6"},
    {"Label61", "Retaining pin 4, rods 7 and 8"},
});
// clang-format on

}  // namespace ui
