#include "platform/format.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace orva {
namespace {

struct FixedCase {
  double x;
  int w, d;
  const char* text;
};

TEST(FormatFixed, RoundsTheExactBinaryValueWithTiesToEven) {
  const FixedCase cases[] = {
      {3.0, 5, 1, "  3.0"},
      {-3.0, 5, 1, " -3.0"},
      {1000.0, 5, 1, "*****"},
      {999.99, 5, 1, "*****"},   // rounds to 1000.0, one column too wide
      {0.7902, 4, 2, "0.79"},
      {1.013, 6, 3, " 1.013"},
      {0.125, 5, 2, " 0.12"},    // exact tie, even digit
      {0.375, 5, 2, " 0.38"},    // exact tie, even digit
      {2.5, 4, 0, "  2."},       // exact tie, point written with no decimals
      {12.25, 5, 1, " 12.2"},
      {0.15, 3, 1, "0.1"},       // stored a little below 0.15
      {2.675, 5, 2, " 2.67"},    // stored a little below 2.675
      {12.4, 5, 0, "  12."},
      {0.79, 3, 2, ".79"},       // no room for the zero before the point
      {-0.04, 5, 1, " -0.0"},    // the minus of a value that rounds to zero stays
      {-0.5, 3, 1, "-.5"},
      {3.950296633985, 6, 3, " 3.950"},
      {123456.0, 3, 0, "***"},
  };
  for (const FixedCase& c : cases)
    EXPECT_EQ(format_fixed(c.x, c.w, c.d), c.text) << c.x << " in F" << c.w << "." << c.d;
}

TEST(FormatFixed, NegativeZeroKeepsItsMinus) { EXPECT_EQ(format_fixed(-0.0, 5, 1), " -0.0"); }

TEST(FormatFixed, Binary128ValuesRoundByTheSameRule) {
  EXPECT_EQ(format_fixed(q(0.125), 5, 2), " 0.12");
  EXPECT_EQ(format_fixed(9.2Q, 6, 3), " 9.200");
  // 1/3 in binary128 has digits beyond the double's.
  EXPECT_EQ(format_fixed(1.0Q / 3.0Q, 22, 20), "0.33333333333333333333");
  EXPECT_EQ(format_fixed(-1000.0Q, 5, 1), "*****");
}

TEST(FormatFixed, NotANumberAndInfinity) {
  EXPECT_EQ(format_fixed(std::nan(""), 6, 2), "   NaN");
  EXPECT_EQ(format_fixed(INFINITY, 9, 2), " Infinity");
  EXPECT_EQ(format_fixed(-INFINITY, 5, 2), " -Inf");
  EXPECT_EQ(format_fixed(INFINITY, 2, 0), "**");
}

TEST(FormatInteger, WidthsDigitsAndAsterisks) {
  EXPECT_EQ(format_integer(16, 2), "16");
  EXPECT_EQ(format_integer(100, 2), "**");
  EXPECT_EQ(format_integer(-7, 3), " -7");
  EXPECT_EQ(format_integer(5, 2, 2), "05");
  EXPECT_EQ(format_integer(2023, 4, 4), "2023");
  EXPECT_EQ(format_integer(7, 4, 2), "  07");
  EXPECT_EQ(format_integer(-5, 3, 2), "-05");
}

TEST(FormatRecord, AnIntegerFieldGivenNoWholeNumberPrintsAsterisks) {
  EXPECT_EQ(format_record("I3", {std::nan("")}).lines[0], "***");
  EXPECT_EQ(format_record("I3", {1e300}).lines[0], "***");
  EXPECT_EQ(format_record("I3", {-INFINITY}).lines[0], "***");
  EXPECT_EQ(format_record("I3", {q(1e300)}).lines[0], "***");
  EXPECT_EQ(format_record("I3", {-7.9}).lines[0], " -7");
  // Binary128 values beyond every double, and those that are not numbers.
  EXPECT_EQ(format_record("I5", {FLT128_MAX}).lines[0], "*****");
  EXPECT_EQ(format_record("I5", {-FLT128_MAX}).lines[0], "*****");
  EXPECT_EQ(format_record("I5", {q(INFINITY)}).lines[0], "*****");
  EXPECT_EQ(format_record("I5", {q(std::nan(""))}).lines[0], "*****");
}

// The largest values of both types have hundreds and thousands of digits
// before the point.
TEST(FormatFixed, TheLargestValuesOfBothTypesPrintAsAsterisks) {
  EXPECT_EQ(format_fixed(DBL_MAX, 14, 1), "**************");
  EXPECT_EQ(format_fixed(-DBL_MAX, 10, 5), "**********");
  EXPECT_EQ(format_fixed(FLT128_MAX, 14, 1), "**************");
  EXPECT_EQ(format_fixed(-FLT128_MAX, 10, 5), "**********");
}

TEST(FormatText, CutsOrRightJustifies) {
  EXPECT_EQ(format_text("ZH-L 16C  ", 4), "ZH-L");
  EXPECT_EQ(format_text("AB", 5), "   AB");
  EXPECT_EQ(format_text("trailing  "), "trailing  ");
}

struct FixedInput {
  const char* typed;
  int w, d;
  std::optional<double> value;
};

TEST(ParseFixed, ImpliedDecimalsBlanksCommasAndMalformedAnswers) {
  const FixedInput cases[] = {
      {"30", 5, 1, 3.0},        {"30.", 5, 1, 30.0},     {"30.0", 5, 1, 30.0},
      {"3.05", 5, 1, 3.05},     {"12,5", 5, 1, 1.2},     {"", 5, 1, 0.0},
      {"     ", 5, 1, 0.0},     {"1 2", 5, 1, 1.2},      {"123456", 5, 1, 12345.0 / 10.0},
      {"abc", 5, 1, std::nullopt}, {"-3.", 5, 1, -3.0}, {"+45", 5, 1, 4.5},
      {"200", 5, 1, 20.0},      {"12.25", 5, 1, 12.25},  {"5", 5, 2, 0.05},
      {"21", 5, 3, 0.021},      {"8,5", 8, 5, 0.00008},  {".", 5, 1, std::nullopt},
      {"-", 5, 1, std::nullopt}, {"1.2.3", 5, 1, std::nullopt}, {"1e2", 5, 1, std::nullopt},
      {"7 ", 7, 1, 0.7},        {",9", 5, 1, 0.0},
  };
  for (const FixedInput& c : cases) {
    std::optional<double> v = parse_fixed(c.typed, c.w, c.d);
    ASSERT_EQ(v.has_value(), c.value.has_value()) << "[" << c.typed << "]";
    if (v) {
      EXPECT_EQ(*v, *c.value) << "[" << c.typed << "]";
    }
  }
}

TEST(ParseFixed, DigitsGiveTheNearestDouble) {
  // 0.1 read as 01 with one implied decimal is the same double as the literal.
  EXPECT_EQ(*parse_fixed("01", 5, 1), 0.1);
  EXPECT_EQ(*parse_fixed("2095", 6, 4), 0.2095);
}

TEST(ParseInteger, FieldRules) {
  EXPECT_EQ(parse_integer("7", 2), 7);
  EXPECT_EQ(parse_integer("123", 2), 12);
  EXPECT_EQ(parse_integer("x", 2), std::nullopt);
  EXPECT_EQ(parse_integer("1.", 2), std::nullopt);
  EXPECT_EQ(parse_integer("", 2), 0);
  EXPECT_EQ(parse_integer("-4", 3), -4);
  EXPECT_EQ(parse_integer(" 1 4", 4), 14);
  EXPECT_EQ(parse_integer("3,9", 3), 3);
  EXPECT_EQ(parse_integer("99999999999999999999", 20), std::nullopt);
}

// A tab typed in a number field is a blank like any other: "<tab>30." is a
// depth of 30 m. The field still ends after its w characters, tabs counted
// as one character each.
TEST(ParseNumbers, ATabIsABlank) {
  struct Case {
    const char* what;
    std::string typed;
    std::optional<double> value;
  } fixed[] = {
      {"a tab before the depth", "\t30.", 30.0},
      {"a tab after it", "30.\t", 30.0},
      {"a tab between its digits", "3\t0.", 30.0},
      {"tabs and blanks mixed", " \t 3.", 3.0},
      {"tabs only", "\t\t\t\t\t", 0.0},
      {"the last digit is the fifth character", "\t\t\t\t3", 0.3},
      {"it is the sixth", "\t\t\t\t\t3", 0.0},
      {"the point is the fifth character", "\t\t30.", 30.0},
      {"it is the sixth", "\t\t\t30.", 3.0},
      {"a tab after the comma", "\t1,\t5", 0.1},
      {"a letter behind a tab is still malformed", "\tx", std::nullopt},
  };
  for (const Case& c : fixed) {
    std::optional<double> v = parse_fixed(c.typed, 5, 1);
    ASSERT_EQ(v.has_value(), c.value.has_value()) << c.what;
    if (v) {
      EXPECT_EQ(*v, *c.value) << c.what;
    }
  }
  EXPECT_EQ(parse_integer("\t7", 2), 7);
  EXPECT_EQ(parse_integer("7\t", 2), 7);
  EXPECT_EQ(parse_integer("\t\t7", 2), 0);
}

TEST(ParseText, PadsCutsAndKeepsTheLastCharactersOfAWideField) {
  EXPECT_EQ(parse_text("d", 4, 4), "d   ");
  EXPECT_EQ(parse_text("HELPME", 4, 4), "HELP");
  EXPECT_EQ(parse_text("a,b", 4, 4), "a,b ");
  EXPECT_EQ(parse_text("", 70, 70), std::string(70, ' '));
  EXPECT_EQ(parse_text("ABCDEFGHIJ", 10, 8), "CDEFGHIJ");
}

// Umlauts are two bytes each in UTF-8: an edge of the field never leaves half
// of one, and the field keeps its width in bytes.
TEST(ParseText, NeverCutsInsideAUtf8Character) {
  const std::string AE = "\xC3\x84", EURO = "\xE2\x82\xAC", CLEF = "\xF0\x9D\x84\x9E";
  struct Case {
    const char* what;
    std::string line;
    int w, length;
    std::string kept;
  } cases[] = {
      {"whole umlauts", "A" + AE + "B", 4, 4, "A" + AE + "B"},
      {"the end cuts an umlaut", "ABC" + AE, 4, 4, "ABC "},
      {"the end cuts a three-byte character after one byte", "AB" + EURO, 3, 3, "AB "},
      {"the end cuts it after two bytes", "AB" + EURO, 4, 4, "AB  "},
      {"the end cuts a four-byte character", "A" + CLEF, 4, 6, "A"},
      {"the end falls just behind a character", "AB" + AE + "C", 4, 4, "AB" + AE},
      {"the last bytes of a name start inside an umlaut", AE + AE + AE + AE + AE + "x", 11, 8,
       " " + AE + AE + AE + "x"},
      {"they start just at one", "x" + AE + AE + AE + AE, 9, 8, AE + AE + AE + AE},
      {"a four-byte character cut after its second byte", CLEF + "abcde", 9, 7, "  abcde"},
      // Bytes that are no UTF-8 character (Latin-1 text) are cut as they are.
      {"Latin-1 umlauts", "AB\xC4\xD6\xDC", 4, 4, "AB\xC4\xD6"},
      {"a lone continuation byte", "A\x84\x84\x84", 2, 2, "A\x84"},
  };
  for (const Case& c : cases) {
    std::string got = parse_text(c.line, c.w, c.length);
    EXPECT_EQ(got, c.kept.size() < static_cast<size_t>(c.length) ? c.kept + std::string(c.length - c.kept.size(), ' ')
                                                                    : c.kept)
        << c.what;
    EXPECT_EQ(got.size(), static_cast<size_t>(c.length)) << c.what;
  }
}

// The comment of the protocol is a field of 70 bytes. A character that ends
// at the 70th byte is kept whole, whatever stray bytes follow it; one that
// the edge cuts becomes blanks. One byte of a field wider or narrower moves
// the edge across the character.
TEST(FirstBytes, KeepsACharacterThatEndsAtTheEdgeAndBlanksOneItCuts) {
  const std::string E_ACUTE = "\xC3\xA9", x68(68, 'x');
  // The é takes bytes 69 and 70; a stray continuation byte follows it.
  const std::string line = x68 + E_ACUTE + "\xA9" + "yz";
  struct Case {
    const char* what;
    std::string line;
    size_t width;
    std::string kept;
  } cases[] = {
      {"the edge cuts the é", line, 69, x68 + " "},
      {"the é ends at the edge", line, 70, x68 + E_ACUTE},
      {"the stray byte is kept as a byte of its own", line, 71, x68 + E_ACUTE + "\xA9"},
      {"an ordinary byte behind the é", x68 + E_ACUTE + "yz", 70, x68 + E_ACUTE},
      {"nothing behind the é", x68 + E_ACUTE, 70, x68 + E_ACUTE},
      {"the é at bytes 70 and 71", x68 + "x" + E_ACUTE + "yz", 70, x68 + "x "},
      {"the é at bytes 68 and 69, a stray byte at 71", x68.substr(1) + E_ACUTE + "y\xA9z", 70,
       x68.substr(1) + E_ACUTE + "y"},
      {"a lead byte at 70 with nothing behind it", x68 + "x\xC3", 70, x68 + "x\xC3"},
      {"a lead byte at 70 and no continuation behind it", x68 + "x\xC3y", 70, x68 + "x\xC3"},
  };
  for (const Case& c : cases) EXPECT_EQ(first_bytes(c.line, c.width), c.kept) << c.what;
}

// Only a byte that starts a UTF-8 character of two, three or four bytes can
// be cut at the edge: 0xC0 and 0xC1 (which never start one), 0xF5 to 0xFF
// and a stray continuation byte are bytes of their own, kept at the 70th
// byte whatever follows them.
TEST(FirstBytes, OnlyAByteThatStartsACharacterCanBeCut) {
  const std::string x69(69, 'x');
  struct Case {
    std::string at_70;  // the 70th byte and the ones behind it
    bool kept;
  } cases[] = {
      {"\xC0\x80", true},         {"\xC1\xBF", true},         {"\xC2\x80", false},
      {"\xDF\xBF", false},        {"\xE0\xA0\x80", false},    {"\xEF\xBF\xBF", false},
      {"\xF0\x90\x80\x80", false}, {"\xF4\x8F\xBF\xBF", false}, {"\xF5\x80\x80\x80", true},
      {"\xFF\x80\x80\x80", true}, {"\x80\x80", true},
  };
  for (const Case& c : cases) {
    const unsigned first = static_cast<unsigned char>(c.at_70[0]);
    EXPECT_EQ(first_bytes(x69 + c.at_70 + "y", 70), x69 + (c.kept ? c.at_70.substr(0, 1) : " "))
        << "70th byte 0x" << std::hex << first;
  }
  // A three-byte character that takes bytes 69 to 71 becomes two blanks.
  EXPECT_EQ(first_bytes(std::string(68, 'x') + "\xE2\x82\xAC" + "y", 70), std::string(68, 'x') + "  ");
}

TEST(FormatRecord, LiteralsBlanksSlashesAndTheOpenLine) {
  Record r = format_record(R"(" ", " P amb: ", F6.3)", {3.950296633985});
  ASSERT_EQ(r.lines.size(), 1u);
  EXPECT_EQ(r.lines[0], "  P amb:  3.950");
  EXPECT_FALSE(r.open);

  r = format_record(R"(/, /, " ", 5X, "**", /, /)");
  EXPECT_EQ(r.lines, (std::vector<std::string>{"", "", "      **", "", ""}));

  r = format_record(R"(" ", " was jetzt?", $)");
  EXPECT_EQ(r.lines, (std::vector<std::string>{"  was jetzt?"}));
  EXPECT_TRUE(r.open);
}

TEST(FormatRecord, StopsAtTheFirstDataItemWithoutAValue) {
  Record r = format_record(R"(" ", "Deko Pause: wie lange ? (min): ", $, F4.0)");
  EXPECT_EQ(r.lines, (std::vector<std::string>{" Deko Pause: wie lange ? (min): "}));
  EXPECT_TRUE(r.open);

  r = format_record(R"(" ", I2, " m ", F5.1, " min")", {3});
  EXPECT_EQ(r.lines, (std::vector<std::string>{"  3 m "}));
  EXPECT_FALSE(r.open);
}

TEST(FormatRecord, RepeatCountsMixedValuesAndQuotes) {
  Record r = format_record(R"(3F5.1, 1X, I2.2, 1X, A4, "|", A, 'say "hi"', """")", {1.0, 2.0, 3.0, 5, "ab", "xyz ", ""});
  EXPECT_EQ(r.lines[0], "  1.0  2.0  3.0 05   ab|xyz say \"hi\"\"");
}

TEST(RoundHalfAway, Halves) {
  EXPECT_EQ(round_half_away(2.5), 3.0);
  EXPECT_EQ(round_half_away(-2.5), -3.0);
  EXPECT_EQ(round_half_away(2.4999), 2.0);
}

// The name of an infinite value stands in full in a field as wide as the
// name or wider, shortened in a field one narrower, and asterisks fill a field
// too narrow for the short name too.
TEST(FormatFixed, AnInfiniteValueIsNamedInFullWhereTheNameFits) {
  struct Case {
    double x;
    int w;
    const char* shown;
  } cases[] = {
      {INFINITY, 9, " Infinity"},   {INFINITY, 8, "Infinity"},     {INFINITY, 7, "    Inf"},
      {INFINITY, 4, " Inf"},        {INFINITY, 3, "Inf"},          {INFINITY, 2, "**"},
      {-INFINITY, 10, " -Infinity"}, {-INFINITY, 9, "-Infinity"},  {-INFINITY, 8, "    -Inf"},
      {-INFINITY, 5, " -Inf"},      {-INFINITY, 4, "-Inf"},        {-INFINITY, 3, "***"},
      {NAN, 4, " NaN"},             {NAN, 3, "NaN"},               {NAN, 2, "**"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(format_fixed(c.x, c.w, 5), c.shown) << c.x << " in " << c.w;
    EXPECT_EQ(format_fixed(q(c.x), c.w, 5), c.shown) << c.x << " in " << c.w << ", binary128";
  }
}

}  // namespace
}  // namespace orva
