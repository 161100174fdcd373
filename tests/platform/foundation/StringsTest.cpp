#include "platform/foundation/Strings.h"

#include <gtest/gtest.h>

using fnd::stringWithFormat;

TEST(Strings, CaseMappingUsesRootRulesOnUtf8) {
    EXPECT_EQ(fnd::uppercase("dezember"), "DEZEMBER");
    EXPECT_EQ(fnd::uppercase("straße"), "STRASSE");
    EXPECT_EQ(fnd::uppercase("i"), "I"); // not the Turkish dotted capital
    EXPECT_EQ(fnd::lowercase("ΣΑΒΒΑΤΟ"), "σαββατο");
    EXPECT_EQ(fnd::lowercase("MÄRZ"), "märz");
    EXPECT_EQ(fnd::uppercase("\xff"
                             "a"),
              "\xEF\xBF\xBD"
              "A"); // malformed byte -> U+FFFD
    EXPECT_EQ(fnd::uppercase(""), "");
}

TEST(Strings, FormatsLikePrintf) {
    EXPECT_EQ(stringWithFormat("%d more...", 3), "3 more...");
    EXPECT_EQ(stringWithFormat("%d.%d.%d", 15, 12, 2026), "15.12.2026");
    EXPECT_EQ(stringWithFormat("%@ - %@", "9:00 AM", std::string("10:00 AM")), "9:00 AM - 10:00 AM");
    EXPECT_EQ(stringWithFormat("%@ %d", std::string_view("December"), 2026L), "December 2026");
    EXPECT_EQ(stringWithFormat("%02d:%02ld %5.1f%%", 7, 5L, 2.25), "07:05   2.2%");
    EXPECT_EQ(stringWithFormat("%u %x %X %o %#x", 42u, 255, 255, 8, 255), "42 ff FF 10 0xff");
    EXPECT_EQ(stringWithFormat("%lld %zu %hhd", -1LL, std::size_t{3}, 4), "-1 3 4");
    EXPECT_EQ(stringWithFormat("%2$@ %1$@", "world", "hello"), "hello world");
    EXPECT_EQ(stringWithFormat("[%*d|%-*d]", 4, 7, 3, 8), "[   7|8  ]");
    EXPECT_EQ(stringWithFormat("%c%c", 'A', 0x263A), "A☺");
    // Text widths and precisions count characters, never cutting one in two.
    EXPECT_EQ(stringWithFormat("[%6s|%-4s|%.2s]", "März", "ä", "äöü"), "[  März|ä   |äö]");
}

TEST(Strings, FormattingMistakesGiveDefinedOutput) {
    // Arguments of another kind are converted, never reinterpreted.
    EXPECT_EQ(stringWithFormat("%d", 2.9), "2");
    EXPECT_EQ(stringWithFormat("%d", -2.9), "-2");
    EXPECT_EQ(stringWithFormat("%d", 1e300), "9223372036854775807");
    EXPECT_EQ(stringWithFormat("%.1f", 3), "3.0");
    EXPECT_EQ(stringWithFormat("%@|%s|%@", 5, 0.1, true), "5|0.1|1");
    EXPECT_EQ(stringWithFormat("%d more", "many"), "many more");
    EXPECT_EQ(stringWithFormat("%s", static_cast<const char*>(nullptr)), "(null)");
    // Missing arguments, unknown and unfinished specifiers are copied as they stand.
    EXPECT_EQ(stringWithFormat("%d more..."), "%d more...");
    EXPECT_EQ(stringWithFormat("%d and %@", 1), "1 and %@");
    EXPECT_EQ(stringWithFormat("%3$@", "a"), "%3$@");
    EXPECT_EQ(stringWithFormat("%n%k 100%", 1), "%n%k 100%");
    EXPECT_EQ(stringWithFormat("%d", 1, "extra"), "1");
    EXPECT_EQ(stringWithFormat(static_cast<const char*>(nullptr), 1), "");
    // User text as an argument is inserted literally, specifiers and all.
    EXPECT_EQ(stringWithFormat("%@", "%s%n%d"), "%s%n%d");
    // Absurd widths are bounded.
    EXPECT_EQ(stringWithFormat("%999999999d", 1).size(), 4096u);
}

TEST(Strings, LocalizedStringFallsBackToTheValueThenTheKey) {
    EXPECT_EQ(fnd::localizedString("%d more..."), "%d more...");
    EXPECT_EQ(fnd::localizedString("key", "fallback"), "fallback");
    EXPECT_EQ(stringWithFormat(fnd::localizedString("%d more..."), 4), "4 more...");
}
