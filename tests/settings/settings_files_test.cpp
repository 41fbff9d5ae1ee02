// The three settings files: defaults, the reading rules, refusals of bad values, and saving.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/memory_line.h"
#include "settings/atomic_file.h"
#include "settings/port_list.h"
#include "settings/settings_files.h"
#include "support/recording_front_end.h"
#include "support/scratch_directory.h"

namespace ptk::testing {
namespace {

class SettingsFilesTest : public ::testing::Test {
protected:
    ScratchDirectory directory;
    SettingsFiles files{directory.path()};
    RecordingFrontEnd frontEnd;
    platform::VirtualClock clock;
    platform::MemoryLine line{clock};
    platform::MemoryLineOpener opener{line, 8};
    Session session{frontEnd, clock, opener};
};

TEST_F(SettingsFilesTest, WithoutFilesTheDefaultsAreTakenAndNoFileIsMade) {
    files.loadAll(session);
    EXPECT_EQ(session.portName, "COM1");
    EXPECT_EQ(session.channel.currentPort(), 0);
    EXPECT_EQ(session.baudName, "CBR_115200");
    EXPECT_EQ(session.BaudIndex, 4);
    EXPECT_EQ(session.LinkPassword, "7301");
    EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SettingsFilesTest, ValueIsTheFirstWordOfTheFile) {
    directory.write("num_port.ini", "  \t\nCOM12 COM3\n");
    directory.write("baude_fr.ini", "CBR_38400\r\n");
    directory.write("pass_fr.ini", "0042");
    files.loadAll(session);
    EXPECT_EQ(session.portName, "COM12");
    EXPECT_EQ(session.channel.currentPort(), 11);
    EXPECT_EQ(session.BaudIndex, 2);
    EXPECT_EQ(session.LinkPassword, "0042");
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SettingsFilesTest, UnknownBaudNameLeavesTheRateAsItWasAndSaysSo) {
    session.BaudIndex = 1;
    session.baudName = "CBR_19200";
    directory.write("baude_fr.ini", "CBR_4800\n");
    files.LoadSetting(session, Setting::Baud);
    EXPECT_EQ(session.BaudIndex, 1);
    EXPECT_EQ(session.baudName, "CBR_19200");
    ASSERT_EQ(frontEnd.boxes.size(), 1u);
    EXPECT_EQ(frontEnd.boxes[0].text,
              "В файле baude_fr.ini неизвестная скорость обмена. Оставлена скорость 19200.");
}

class BadPortNameTest : public SettingsFilesTest,
                        public ::testing::WithParamInterface<const char*> {};

TEST_P(BadPortNameTest, IsRefusedAndThePortInUseStays) {
    session.portName = "COM9";
    session.channel.setCurrentPort(8);
    directory.write("num_port.ini", GetParam());
    files.LoadSetting(session, Setting::Port);
    EXPECT_EQ(session.portName, "COM9");
    EXPECT_EQ(session.channel.currentPort(), 8);
    ASSERT_EQ(frontEnd.boxes.size(), 1u);
    EXPECT_EQ(frontEnd.boxes[0].caption, "Ошибка");
    EXPECT_EQ(frontEnd.boxes[0].text,
              "В файле num_port.ini неверное имя порта: допустимы имена от COM1 до COM256. "
              "Оставлен порт COM9.");
}

INSTANTIATE_TEST_SUITE_P(Names, BadPortNameTest,
                         ::testing::Values("COM0", "COM257", "COM99999", "COM", "COMx", "COM-1",
                                           "COM+3", "COM 3", "LPT3", "", "\n",
                                           "COM0000000001",  // longer than ten characters
                                           "COM4294967297"));

TEST_F(SettingsFilesTest, PortNumbersFromOneTo256AreTaken) {
    for (const auto& [name, index] : {std::pair{"COM1", 0}, {"COM256", 255}, {"COM003", 2}}) {
        directory.write("num_port.ini", name);
        files.LoadSetting(session, Setting::Port);
        EXPECT_EQ(session.channel.currentPort(), index) << name;
    }
    EXPECT_TRUE(frontEnd.boxes.empty());
}

class BadPasswordTest : public SettingsFilesTest,
                        public ::testing::WithParamInterface<std::string> {};

TEST_P(BadPasswordTest, FallsBackToTheDefaultAndSaysSo) {
    session.LinkPassword = "1234";
    directory.write("pass_fr.ini", GetParam());
    files.LoadSetting(session, Setting::Password);
    EXPECT_EQ(session.LinkPassword, "7301");
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{"В файле pass_fr.ini неверный пароль на связь: допустимо не "
                                       "более 4 цифр. Используется пароль 7301."});
}

TEST_F(SettingsFilesTest, PasswordFileCutToNothingIsNotTakenAsTheEmptyPassword) {
    directory.write("pass_fr.ini", "");
    files.LoadSetting(session, Setting::Password);
    EXPECT_EQ(session.LinkPassword, "7301");
    std::filesystem::remove(directory.path() / "pass_fr.ini");
    std::filesystem::create_directory(directory.path() / "pass_fr.ini");
    session.LinkPassword.clear();
    files.LoadSetting(session, Setting::Password);
    EXPECT_EQ(session.LinkPassword, "7301");
    EXPECT_EQ(frontEnd.boxes.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Passwords, BadPasswordTest,
                         ::testing::Values("73011", "73a1", "-730", "７３０１", "12345678901234",
                                           std::string("73\0 1", 5)));

TEST_F(SettingsFilesTest, EmptyPasswordFileGivesTheEmptyPassword) {
    session.LinkPassword = "7301";
    directory.write("pass_fr.ini", "\n");
    files.LoadSetting(session, Setting::Password);
    EXPECT_EQ(session.LinkPassword, "");
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SettingsFilesTest, SavedValuesAreOneLineEachAndReadBackTheSame) {
    directory.write("num_port.ini", "COM3 and an old second word\n");
    session.portName = "COM12";
    session.baudName = "CBR_57600";
    session.LinkPassword = "";
    ASSERT_TRUE(files.saveAll(session));
    EXPECT_EQ(directory.read("num_port.ini"), "COM12\n");
    EXPECT_EQ(directory.read("baude_fr.ini"), "CBR_57600\n");
    EXPECT_EQ(directory.read("pass_fr.ini"), "\n");

    Session reloaded{frontEnd, clock, opener};
    reloaded.LinkPassword = "9999";
    files.loadAll(reloaded);
    EXPECT_EQ(reloaded.channel.currentPort(), 11);
    EXPECT_EQ(reloaded.BaudIndex, 3);
    EXPECT_EQ(reloaded.LinkPassword, "");
    EXPECT_TRUE(frontEnd.boxes.empty());
}

TEST_F(SettingsFilesTest, SaveThatCannotWriteLeavesTheOldFileWhole) {
    directory.write("num_port.ini", "COM3\n");
    // Something is in the way of the temporary file.
    std::filesystem::create_directory(temporaryPathFor(directory.path() / "num_port.ini"));
    session.portName = "COM12";
    EXPECT_FALSE(files.SaveSetting(session, Setting::Port));
    EXPECT_EQ(directory.read("num_port.ini"), "COM3\n");
    EXPECT_EQ(frontEnd.boxes.size(), 1u);
}

#ifndef _WIN32
TEST_F(SettingsFilesTest, FailedSaveLeavesTheOldFileWhole) {
    directory.write("num_port.ini", "COM3\n");
    // The disk fills up while the new value is written.
    std::filesystem::create_symlink("/dev/full",
                                    temporaryPathFor(directory.path() / "num_port.ini"));
    session.portName = "COM12";
    EXPECT_FALSE(files.SaveSetting(session, Setting::Port));
    EXPECT_EQ(directory.read("num_port.ini"), "COM3\n");
    EXPECT_FALSE(directory.exists("num_port.ini.tmp"));
    EXPECT_EQ(frontEnd.boxTexts(),
              std::vector<std::string>{
                  "Не удалось записать файл num_port.ini. Файл оставлен без изменений."});
}

#endif

TEST_F(SettingsFilesTest, SaveIntoAMissingDirectoryFailsWithAMessage) {
    const SettingsFiles nowhere(directory.path() / "missing");
    session.LinkPassword = "7301";
    EXPECT_FALSE(nowhere.SaveSetting(session, Setting::Password));
    EXPECT_EQ(frontEnd.boxes.size(), 1u);
}

#ifndef _WIN32
// The port list in the caller's buffer, with ./COMn links in the working directory.
class PortListTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(directory.path());
        for (const char* name : {"COM200", "COM201", "COM202"}) {
            std::filesystem::create_symlink("/dev/null", name);
        }
    }
    void TearDown() override { std::filesystem::current_path(previous); }

    ScratchDirectory directory;
    std::filesystem::path previous;
};

TEST_F(PortListTest, NamesComeAsConsecutiveStringsEndedByAnEmptyOne) {
    std::vector<char> buffer(kPortListBufferSize, 'x');
    EXPECT_EQ(EnumerateSerialPorts(buffer.data(), buffer.size()),
              platform::PortListStatus::Complete);
    const std::vector<std::string> names = portNamesIn(buffer.data(), buffer.size());
    ASSERT_GE(names.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"COM200", "COM201", "COM202"}));
}

TEST_F(PortListTest, TooSmallABufferKeepsTheNamesThatFitAndStaysInside) {
    // Guard bytes on both sides catch a write outside the buffer.
    constexpr std::size_t kCapacity = 16;
    std::vector<char> memory(kCapacity + 2, '#');
    char* buffer = memory.data() + 1;
    EXPECT_EQ(EnumerateSerialPorts(buffer, kCapacity), platform::PortListStatus::BufferTooSmall);
    EXPECT_EQ(memory.front(), '#');
    EXPECT_EQ(memory.back(), '#');
    const std::vector<std::string> names = portNamesIn(buffer, kCapacity);
    std::size_t used = 1;
    for (const auto& name : names) used += name.size() + 1;
    EXPECT_LE(used, kCapacity);
    EXPECT_LT(names.size(), 3u + 4u);
}

#endif

}  // namespace
}  // namespace ptk::testing
