// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "calculation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "resultsheet.h"
#include "testsupport.h"

namespace {

using calc::Failure;
using calc::Field;
using calc::InputSheet;
using calctest::ConstantSource;
using calctest::SeededSource;

const calc::Separators kFullStop{".", ","};
const calc::Separators kComma{",", "."};

InputSheet uniformSheet(const char* bigend, const char* littleend, const char* piston) {
    InputSheet sheet;
    for (std::size_t i = 0; i < 8; ++i) {
        sheet[calc::bigend(i)] = bigend;
        sheet[calc::littleend(i)] = littleend;
        sheet[calc::piston(i)] = piston;
    }
    sheet[Field::Rings] = "10";
    sheet[Field::Locks] = "2";
    sheet[Field::Shells] = "20";
    sheet[Field::Oil] = "4";
    sheet[Field::Recip] = "50";
    return sheet;
}

calc::CalculationResult calculated(const InputSheet& sheet, calc::RandomSource& random,
                                   const calc::Separators& separators = kFullStop) {
    const auto outcome = calc::calculate(sheet, separators, random);
    EXPECT_TRUE(outcome.ok()) << (outcome.ok() ? "" : calc::message(outcome.failure()));
    return outcome.ok() ? outcome.value() : calc::CalculationResult{};
}

TEST(Validation, EveryFieldMustHoldText) {
    InputSheet sheet = calctest::workedExample();
    EXPECT_FALSE(calc::validate(sheet));
    for (std::size_t i = 0; i < calc::kFieldCount; ++i) {
        InputSheet oneEmpty = sheet;
        oneEmpty.texts[i].clear();
        const auto failure = calc::validate(oneEmpty);
        ASSERT_TRUE(failure) << i;
        EXPECT_EQ(failure->kind, Failure::Kind::EmptyField);
        EXPECT_EQ(calc::message(*failure), "All values must be entered");
    }
    EXPECT_TRUE(calc::validate(InputSheet{}));
    sheet[Field::Oil] = " ";
    EXPECT_FALSE(calc::validate(sheet)) << "a blank is not empty";
}

TEST(Calculation, AllEqualPartsGiveEqualAssembliesAndPins) {
    SeededSource random(1);
    const auto result = calculated(uniformSheet("300", "100", "200"), random);
    for (std::size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(result.rods[k].weight, 350.0F);
        EXPECT_EQ(result.assemblies[k].weight, 478.0F);
    }
    for (std::size_t j = 0; j < 4; ++j) {
        EXPECT_EQ(result.optimalPins[j].sum, 956.0F);
        EXPECT_EQ(result.retainingPins[j], 956.0F);
    }
    EXPECT_EQ(result.optimalBalance, 956.0F);
    EXPECT_EQ(result.retainingBalance, 956.0F);
}

TEST(Calculation, WorkedExampleWeights) {
    calc::PivotGenerator random;
    const auto result = calculated(calctest::workedExample(), random);
    const std::array<float, 8> effective = {348, 351, 345, 347, 350, 352.5F, 354.5F, 348.5F};
    const std::array<float, 8> assembly = {479.25F, 478,     476.75F, 478.5F,
                                           477.5F,  478.75F, 480.5F,  476.25F};
    for (const auto& row : result.rods) {
        EXPECT_EQ(row.weight, effective[static_cast<std::size_t>(row.id) - 1]) << row.id;
    }
    for (const auto& row : result.assemblies) {
        EXPECT_EQ(row.weight, assembly[static_cast<std::size_t>(row.id) - 1]) << row.id;
    }
    EXPECT_EQ(result.optimalBalance, workedexample::kOptimalBalance.value);
    EXPECT_EQ(result.retainingBalance, workedexample::kRetainingBalance.value);
}

TEST(Calculation, WorkedExampleUnderACommaLocale) {
    calc::PivotGenerator random;
    const auto result = calculated(calctest::workedExample(/*decimalComma=*/true), random, kComma);
    EXPECT_EQ(result.retainingBalance, workedexample::kRetainingBalance.value);
    EXPECT_EQ(calc::render(result, ",").texts, [] {
        calc::PivotGenerator fresh;
        return calc::render(calculated(calctest::workedExample(), fresh), ",").texts;
    }());
}

TEST(Calculation, ZeroRecipLeavesBigEndsShellsAndOil) {
    InputSheet sheet = uniformSheet("300.1", "999", "777");
    sheet[Field::Recip] = "0";
    sheet[Field::Rings] = "55";
    sheet[Field::Locks] = "66";
    SeededSource random(2);
    const auto result = calculated(sheet, random);
    const float expected = static_cast<float>(static_cast<double>(300.1F) + (4.0 / 2 + 20));
    for (const auto& row : result.assemblies) {
        EXPECT_EQ(row.weight, expected);
    }
}

TEST(Calculation, ExtrasAreReadLeniently) {
    InputSheet sheet = uniformSheet("300", "100", "200");
    sheet[Field::Rings] = "10 g";
    sheet[Field::Locks] = "2,9";  // reads 2 whatever the locale
    sheet[Field::Shells] = "&H14";
    sheet[Field::Oil] = "g4";  // reads 0
    SeededSource random(3);
    EXPECT_EQ(calculated(sheet, random).assemblies[0].weight, 476.0F);
    sheet[Field::Oil] = " ";
    EXPECT_EQ(calculated(sheet, random).assemblies[0].weight, 476.0F);
}

TEST(Calculation, ConsecutiveAssembliesGiveEqualOptimalPins) {
    // Big ends chosen so that the assemblies weigh 400 to 407 in a scrambled order.
    InputSheet sheet = uniformSheet("0", "0", "0");
    const std::array<const char*, 8> bigends = {"403", "400", "407", "401",
                                                "406", "402", "405", "404"};
    for (std::size_t i = 0; i < 8; ++i) {
        sheet[calc::bigend(i)] = bigends[i];
    }
    sheet[Field::Rings] = "0";
    sheet[Field::Locks] = "0";
    sheet[Field::Shells] = "0";
    sheet[Field::Oil] = "0";
    SeededSource random(4);
    const auto result = calculated(sheet, random);
    for (const auto& pin : result.optimalPins) {
        EXPECT_EQ(pin.sum, 807.0F);
    }
    EXPECT_EQ(result.optimalBalance, 807.0F);
    EXPECT_EQ(result.retainingPins[0], 403.0F + 400.0F);
    EXPECT_EQ(result.retainingPins[3], 405.0F + 404.0F);
    EXPECT_EQ(result.retainingBalance, 803.0F);
}

// ---- Sheets that cannot be calculated ----

struct Unreadable {
    Field field;
    const char* text;
    Failure::Kind kind;
    const char* message;
};

std::ostream& operator<<(std::ostream& os, const Unreadable& u) {
    return os << calc::fieldName(u.field) << " = \"" << u.text << '"';
}

class UnreadableSheets : public testing::TestWithParam<Unreadable> {};

TEST_P(UnreadableSheets, NameTheFieldAndLeaveTheGeneratorAlone) {
    InputSheet sheet = calctest::workedExample();
    sheet[GetParam().field] = GetParam().text;
    ConstantSource random(0.5);
    const auto outcome = calc::calculate(sheet, kFullStop, random);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().kind, GetParam().kind);
    EXPECT_EQ(outcome.failure().field, GetParam().field);
    EXPECT_EQ(outcome.failure().text, GetParam().text);
    EXPECT_EQ(calc::message(outcome.failure()), GetParam().message);
    EXPECT_EQ(random.draws, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, UnreadableSheets,
    testing::Values(Unreadable{Field::Bigend3, "29x", Failure::Kind::NotANumber,
                               "Big End 3: \"29x\" is not a number."},
                    Unreadable{Field::Littleend8, "abc", Failure::Kind::NotANumber,
                               "Little End 8: \"abc\" is not a number."},
                    Unreadable{Field::PistonC, " ", Failure::Kind::NotANumber,
                               "Piston C: \" \" is not a number."},
                    Unreadable{Field::PistonH, "1e999", Failure::Kind::OutOfRange,
                               "Piston H: \"1e999\" is too large a number."},
                    Unreadable{Field::Recip, "50%", Failure::Kind::NotANumber,
                               "Recip. %: \"50%\" is not a number."},
                    Unreadable{Field::Rings, "9e999", Failure::Kind::OutOfRange,
                               "Rings: \"9e999\" is too large a number."},
                    Unreadable{Field::Bigend1, "1\t\n2", Failure::Kind::NotANumber,
                               "Big End 1: \"1  2\" is not a number."}));

TEST(Calculation, LongTextsAreQuotedShortened) {
    InputSheet sheet = calctest::workedExample();
    sheet[Field::Oil] = "&H" + std::string(300, 'F');
    sheet[Field::PistonA] = "\u00e9" + std::string(100000, 'x');
    SeededSource random(9);
    const auto outcome = calc::calculate(sheet, kFullStop, random);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(calc::message(outcome.failure()),
              "Piston A: \"\u00e9" + std::string(39, 'x') + "\u2026\" is not a number.");
    sheet[Field::PistonA] = "1";
    const auto oil = calc::calculate(sheet, kFullStop, random);
    ASSERT_FALSE(oil.ok());
    EXPECT_EQ(calc::message(oil.failure()),
              "Oil: \"&H" + std::string(38, 'F') + "\u2026\" is too large a number.");
}

TEST(Calculation, FirstUnreadableFieldInSheetOrderIsNamed) {
    InputSheet sheet = calctest::workedExample();
    sheet[Field::Recip] = "x";
    sheet[Field::PistonB] = "y";
    sheet[Field::Littleend2] = "z";
    SeededSource random(5);
    const auto outcome = calc::calculate(sheet, kFullStop, random);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().field, Field::Littleend2);
}

TEST(Calculation, FullStopUnderACommaLocaleIsNotANumber) {
    SeededSource random(6);
    const auto outcome = calc::calculate(calctest::workedExample(), kComma, random);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().field, Field::Bigend4);  // '297.5': '.' only groups digits
    EXPECT_EQ(outcome.failure().kind, Failure::Kind::NotANumber);
}

struct TooLarge {
    const char* what;
    std::vector<std::pair<Field, const char*>> edits;  // on the worked example
};

std::ostream& operator<<(std::ostream& os, const TooLarge& t) {
    return os << t.what;
}

class OversizedResults : public testing::TestWithParam<TooLarge> {};

TEST_P(OversizedResults, FailWithoutAResult) {
    InputSheet sheet = calctest::workedExample();
    for (const auto& [field, text] : GetParam().edits) {
        sheet[field] = text;
    }
    SeededSource random(7);
    const auto outcome = calc::calculate(sheet, kFullStop, random);
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.failure().kind, Failure::Kind::ResultTooLarge);
    EXPECT_FALSE(outcome.failure().field);
    EXPECT_NE(calc::message(outcome.failure()).find("too large"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Overflows, OversizedResults,
    testing::Values(
        TooLarge{"rod weight beyond single", {{Field::Bigend2, "1e39"}}},
        TooLarge{"rod weight that rounds to infinity",
                 {{Field::Bigend2, "340282356779733661637539395458142568448"}}},
        TooLarge{"little end beyond single", {{Field::Littleend5, "-7e38"}}},
        TooLarge{"assembly beyond single", {{Field::PistonD, "1e300"}}},
        TooLarge{"extras beyond double", {{Field::Rings, "1.7e308"}, {Field::Locks, "1.7e308"}}},
        // With no recip share, 0 x infinity would be NaN, which no minimum replaces.
        TooLarge{"extras NaN",
                 {{Field::Recip, "0"}, {Field::Rings, "1.7e308"}, {Field::Locks, "1.7e308"}}},
        TooLarge{"retaining pin sum beyond single",
                 {{Field::Bigend1, "2e38"}, {Field::Bigend2, "2e38"}}},
        TooLarge{"huge recip", {{Field::Recip, "1e306"}}}));

TEST(Calculation, LargestSingleStillFits) {
    // Just under the point where single precision rounds to infinity, the value rounds
    // down to the largest single, and so do the sums it takes part in.
    InputSheet sheet = calctest::workedExample();
    sheet[Field::Bigend1] = "3.4028235677e38";
    SeededSource random(8);
    const auto outcome = calc::calculate(sheet, kFullStop, random);
    ASSERT_TRUE(outcome.ok());
    EXPECT_EQ(outcome.value().rods[7].weight, std::numeric_limits<float>::max());
    EXPECT_EQ(outcome.value().retainingPins[0], std::numeric_limits<float>::max());
    EXPECT_TRUE(calc::calculate(uniformSheet("1.7e38", "0", "0"), kFullStop, random).ok());
    EXPECT_FALSE(calc::calculate(uniformSheet("1.8e38", "0", "0"), kFullStop, random).ok())
        << "two such assemblies on a pin overflow";
}

// ---- Properties over many generated sheets ----

InputSheet generatedSheet(std::mt19937& engine, bool distinct) {
    std::uniform_int_distribution<int> quarters(0, distinct ? 400 : 6);
    InputSheet sheet;
    std::set<int> used;
    auto weight = [&](int base) {
        int q = quarters(engine);
        while (distinct && !used.insert(base * 1000 + q).second) {
            q = quarters(engine);
        }
        return std::to_string(base + q / 4) + "." + std::to_string(q % 4 * 25);
    };
    for (std::size_t i = 0; i < 8; ++i) {
        sheet[calc::bigend(i)] = weight(290);
        sheet[calc::littleend(i)] = weight(95);
        sheet[calc::piston(i)] = weight(195);
    }
    sheet[Field::Rings] = "10";
    sheet[Field::Locks] = "2";
    sheet[Field::Shells] = "20";
    sheet[Field::Oil] = "4";
    sheet[Field::Recip] = "50";
    return sheet;
}

// The generated weights are whole numbers and quarters ("290.25"), read here as two integers:
// both parts, and so their sum, are exact doubles.
double number(const std::string& text) {
    const std::size_t point = text.find('.');
    int whole = 0;
    int hundredths = 0;
    std::from_chars(text.data(), text.data() + point, whole);
    std::from_chars(text.data() + point + 1, text.data() + text.size(), hundredths);
    return whole + hundredths / 100.0;
}

// Checks a result against the sheet it came from, worked out again here by hand: f = 0.5 and
// the extras weigh 28 in every generated sheet.
void expectSoundResult(const InputSheet& sheet, const calc::CalculationResult& r) {
    const calc::ResultSheet shown = calc::render(r, ".");
    std::array<float, 8> effective{};
    std::array<double, 8> pistons{};
    for (std::size_t i = 0; i < 8; ++i) {
        effective[i] = static_cast<float>(number(sheet[calc::bigend(i)]) +
                                          0.5 * number(sheet[calc::littleend(i)]));
        pistons[i] = number(sheet[calc::piston(i)]);
    }
    // The lightest rod carries the heaviest piston.
    const std::size_t lightestRod = std::stoul(*shown.find("Label29")) - 1;
    const std::size_t pistonOnIt = static_cast<std::size_t>(shown.find("Label28")->at(0) - 'A');
    EXPECT_EQ(effective[lightestRod], *std::min_element(effective.begin(), effective.end()));
    EXPECT_EQ(pistons[pistonOnIt], *std::max_element(pistons.begin(), pistons.end()));

    // Each rod's assembly, from the piston shown beside it; the retaining pins pair 1-2, 3-4...
    const std::array<const char*, 8> rodCells = {"Label29", "Label30", "Label31", "Label32",
                                                 "Label39", "Label40", "Label41", "Label42"};
    const std::array<const char*, 8> pistonCells = {"Label28", "Label33", "Label34", "Label35",
                                                    "Label38", "Label43", "Label44", "Label45"};
    std::array<float, 8> assembly{};
    std::set<std::string> pistonsUsed;
    for (std::size_t k = 0; k < 8; ++k) {
        const std::size_t rod = std::stoul(*shown.find(rodCells[k])) - 1;
        const std::string& letter = *shown.find(pistonCells[k]);
        pistonsUsed.insert(letter);
        const double piston = pistons[static_cast<std::size_t>(letter[0] - 'A')];
        assembly[rod] = static_cast<float>((effective[rod] + piston * 0.5) + 28.0);
    }
    EXPECT_EQ(pistonsUsed.size(), 8U);
    for (std::size_t j = 0; j < 4; ++j) {
        EXPECT_EQ(r.retainingPins[j],
                  static_cast<float>(static_cast<double>(assembly[2 * j]) + assembly[2 * j + 1]));
    }

    std::set<float> rods;
    for (const auto& pin : r.optimalPins) {
        rods.insert(pin.lighterRod);
        rods.insert(pin.heavierRod);
        EXPECT_EQ(pin.sum, static_cast<float>(
                               static_cast<double>(assembly[std::size_t(pin.lighterRod) - 1]) +
                               assembly[std::size_t(pin.heavierRod) - 1]));
    }
    EXPECT_EQ(rods, (std::set<float>{1, 2, 3, 4, 5, 6, 7, 8}));
    const auto sums = [&] {
        std::array<float, 4> all{};
        for (std::size_t j = 0; j < 4; ++j) {
            all[j] = r.optimalPins[j].sum;
        }
        return all;
    }();
    EXPECT_EQ(r.optimalBalance, *std::min_element(sums.begin(), sums.end()));
    EXPECT_EQ(r.retainingBalance,
              *std::min_element(r.retainingPins.begin(), r.retainingPins.end()));
}

template <typename Table>
bool hasTies(const Table& table) {
    for (std::size_t k = 1; k < table.size(); ++k) {
        if (table[k].weight == table[k - 1].weight) {
            return true;
        }
    }
    return false;
}

TEST(CalculationProperties, HoldOverManySheets) {
    std::mt19937 engine(1999);
    calc::PivotGenerator random;
    for (int round = 0; round < 3000; ++round) {
        const InputSheet sheet = generatedSheet(engine, round % 2 == 0);
        expectSoundResult(sheet, calculated(sheet, random));
        if (testing::Test::HasFailure()) {
            FAIL() << "round " << round;
        }
    }
}

TEST(CalculationProperties, DistinctWeightsDoNotDependOnTheGenerator) {
    std::mt19937 engine(2024);
    int checked = 0;
    for (int round = 0; round < 1000; ++round) {
        const InputSheet sheet = generatedSheet(engine, true);
        calc::PivotGenerator program;
        ConstantSource low(0);
        ConstantSource high(0x1.fffffffffffffp-1);
        const calc::CalculationResult result = calculated(sheet, program);
        if (hasTies(result.rods) || hasTies(result.pistons) || hasTies(result.assemblies)) {
            continue;
        }
        ++checked;
        const auto expected = calc::render(result, ".").texts;
        ASSERT_EQ(calc::render(calculated(sheet, low), ".").texts, expected) << round;
        ASSERT_EQ(calc::render(calculated(sheet, high), ".").texts, expected) << round;
    }
    EXPECT_GT(checked, 500);
}

}  // namespace
