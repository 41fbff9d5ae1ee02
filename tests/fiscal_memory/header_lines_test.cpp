// The four header lines read from and written to the simulated register through the packet
// driver, in virtual time: the bytes on the wire, the lines the register keeps, and writes that
// are refused before anything goes out.
#include <random>
#include <string>
#include <vector>

#include "fiscal_memory/header_lines.h"
#include "link/packet_driver.h"
#include "platform/codepage.h"
#include "support/recording_sim_rig.h"

namespace ptk::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
using namespace packet_result;

class HeaderLinesTest : public ::testing::Test, public RecordingSimRig {
protected:
    HeaderLinesTest() { state().mode.set(sim::ModeProgramming); }

    std::array<std::string, 4> registerLines() const { return engine.state().tables.headerLines; }
};

TEST_F(HeaderLinesTest, ReadsTheFourRowsOfTableSix) {
    HeaderLineTexts texts{"old", "old", "old", "old"};
    ASSERT_EQ(ReadHeaderLines(session, texts), Done);
    EXPECT_EQ(texts, (HeaderLineTexts{"МАГАЗИН", "ДОБРО ПОЖАЛОВАТЬ", "", ""}));
    ASSERT_EQ(messages.size(), 4u);
    for (std::uint8_t row = 1; row <= 4; ++row) {
        EXPECT_EQ(messages[row - 1u], (Bytes{0x73, 0x01, 0x46, 0x06, 0x00, row, 0x01}));
    }
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(HeaderLinesTest, WrittenLinesAreStoredAsTheirBytesAndReadBackAsTyped) {
    const HeaderLineTexts typed{"ООО \"РОМАШКА\"", "~Aтест \\{1}", "{IMG 2:100}", ""};
    ASSERT_EQ(WriteHeaderLines(session, typed), Done);
    const std::string picture("\x0A\x02\x00\x64", 4);
    EXPECT_EQ(registerLines(),
              (std::array<std::string, 4>{platform::utf8ToCp866("ООО \"РОМАШКА\""),
                                          "\x09"
                                          "A" +
                                              platform::utf8ToCp866("тест") + " {1}",
                                          picture, ""}));
    // An empty line goes out as the one byte 0x00 after the row's address.
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[2],
              (Bytes{0x73, 0x01, 0x50, 0x06, 0x00, 0x03, 0x01, 0x0A, 0x02, 0x00, 0x64}));
    EXPECT_EQ(messages[3], (Bytes{0x73, 0x01, 0x50, 0x06, 0x00, 0x04, 0x01, 0x00}));

    HeaderLineTexts read;
    ASSERT_EQ(ReadHeaderLines(session, read), Done);
    EXPECT_EQ(read, typed);
}

TEST_F(HeaderLinesTest, WriteThatCannotGoOutWholeSendsNothing) {
    struct Case {
        const char* name;
        HeaderLineTexts texts;
        PacketResult expected;
    };
    const Case cases[] = {
        {"bad tag in line 3", {"A", "B", "{img 1}", "D"}, BadParameter},
        {"trailing backslash in line 4", {"A", "B", "C", "D\\"}, BadParameter},
        {"line 2 longer than the register's line",
         {"A", std::string(91, 'B'), "C", "D"},
         BufferTooSmall},
        // 83 bytes of line with address, code and password: 90 bytes, too many for a packet.
        {"line 4 too long for a packet", {"A", "B", "C", std::string(83, 'D')}, MessageTooLong},
    };
    const auto before = registerLines();
    for (const Case& c : cases) {
        messages.clear();
        EXPECT_EQ(WriteHeaderLines(session, c.texts), c.expected) << c.name;
        EXPECT_TRUE(messages.empty()) << c.name;
        EXPECT_EQ(registerLines(), before) << c.name;
    }
    // The longest line that fits a packet goes through.
    EXPECT_EQ(WriteHeaderLines(session, {"A", "B", "C", std::string(82, 'D')}), Done);
    EXPECT_EQ(registerLines()[3], std::string(82, 'D'));
}

TEST_F(HeaderLinesTest, FailedReadKeepsTheLinesNotReadYet) {
    HeaderLineTexts texts{"1", "2", "3", "4"};
    state().mode.set(sim::ModeSelection);
    EXPECT_EQ(ReadHeaderLines(session, texts), NotInThisMode);
    EXPECT_EQ(texts, (HeaderLineTexts{"1", "2", "3", "4"}));
    // A register line too long to show stops the reading at that line.
    state().mode.set(sim::ModeProgramming);
    state().tables.headerLines[1] = std::string(50, '{');
    EXPECT_EQ(ReadHeaderLines(session, texts), BufferTooSmall);
    EXPECT_EQ(texts, (HeaderLineTexts{"МАГАЗИН", "2", "3", "4"}));
}

// Whatever a register line holds, up to the 90 bytes the register takes: a line that reads is
// written back as the bytes of the line (up to the NUL that ends it) and reads again the same,
// or, when its write would not fit a packet, is named as such and never half written.
TEST_F(HeaderLinesTest, EveryLineThatReadsWritesBackOrIsSaidNotTo) {
    std::mt19937 random(90);
    static constexpr char kOften[] = {'\0', '\x09', '\x10', '\x03', 'A', '\x0A'};
    int rewritten = 0, unwritable = 0;
    for (int round = 0; round < 300; ++round) {
        std::string bytes(60 + random() % 31, 'A');
        for (char& byte : bytes) {
            if (random() % 40 == 0) byte = kOften[random() % 6];
        }
        state().tables.headerLines[2] = bytes;
        HeaderLineTexts texts;
        if (ReadHeaderLines(session, texts) != Done) continue;  // a picture cut off, say
        const UnwritableHeaderLine found = FindUnwritableHeaderLine(session, texts);
        messages.clear();
        if (found.line >= 0) {
            ++unwritable;
            ASSERT_EQ(found.line, 2);
            ASSERT_EQ(WriteHeaderLines(session, texts), MessageTooLong);
            ASSERT_TRUE(messages.empty());
            continue;
        }
        ++rewritten;
        ASSERT_EQ(WriteHeaderLines(session, texts), Done);
        // The line as far as it goes: to a NUL that ends it, or through a picture element.
        const std::string written = registerLines()[2];
        ASSERT_EQ(written, bytes.substr(0, written.size()));
        const bool ended = written.size() == bytes.size() || bytes[written.size()] == '\0' ||
                           (written.size() >= 4 && written[written.size() - 4] == '\x0A');
        ASSERT_TRUE(ended);
        HeaderLineTexts again;
        ASSERT_EQ(ReadHeaderLines(session, again), Done);
        ASSERT_EQ(again, texts);
    }
    EXPECT_GT(rewritten, 30);
    EXPECT_GT(unwritable, 30);
}

// A register line that could not be written back is said to be so when the lines are read.
TEST_F(HeaderLinesTest, ALineTooLongForAPacketIsToldWhenRead) {
    state().tables.headerLines[1] = std::string(83, 'B');
    HeaderLineTexts texts;
    ASSERT_EQ(ReadHeaderLines(session, texts), Done);
    WarnOfUnwritableHeaderLines(session, texts, OwnerHandle{});
    EXPECT_FALSE(CheckHeaderLinesWritable(session, texts, OwnerHandle{}));
    ASSERT_EQ(frontEnd.boxes.size(), 2u);
    EXPECT_EQ(frontEnd.boxes[0].text,
              "Строка 2 наименования, прочитанная из ПТК, не может быть записана обратно: вместе "
              "с адресом поля она не помещается в пакет обмена (90 байт). "
              "Исправьте её перед регистрацией.");
    EXPECT_EQ(frontEnd.boxes[1].icon, MessageIcon::Error);
}

}  // namespace
}  // namespace ptk::testing
