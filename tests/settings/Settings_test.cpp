#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/DataFolder.h"
#include "settings/IniFile.h"
#include "tests/support/PermissionsBind.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    QFile::remove(SettingsFilePath());
    QDir(SettingsFilePath()).removeRecursively();
    LoadSettings();
  }
  void TearDown() override { SetUp(); }
};

TEST_F(SettingsTest, NewFileGetsEveryKeyInTableOrder) {
  ASSERT_TRUE(SaveSettings());
  const QByteArray expected =
      "[CommonOptions]\nOutputFolder=" + DefaultOutputFolder().toUtf8() +
      "\nOutputFormat=0\nIsKeepWav=0\nIsNormalize=0\nNormalizePercent=95\nEnableRipTime=0\nRipTime=0\n"
      "EncoderStallMinutes=10\nEncoderProcesses=0\n"
      "WriteRipLog=1\nFileNamePattern=%t\nOpenFolderAfterRip=0\n"
      "[Mp3Options]\nIsSelectVBR=0\nIsVBRHead=0\nBitRate=128\nMaxBitRate=320\nMpegQuality=0\nVBRQuality=4\n"
      "StereoMode=1\n"
      "[OggOptions]\nIsUseCompress=1\nCompressPosition=30\nMaxBitRate=0\nNomalBitRate=0\nMinBitRate=0\n"
      "[WMAOptions]\nBitRate=8\n"
      "[FlacOptions]\nCompressionLevel=5\n"
      "[CDOptions]\nIndex=-1\nCDDb=0\nDiscImage=\n"
      "[Extraction]\nMode=1\nMaxRetries=20\nDefeatCache=1\nUseC2=1\n"
      "[AccurateRip]\nUse=1\nServer=www.accuraterip.com\n"
      "[CTDB]\nUse=1\nServer=db.cuetools.net\nRepair=1\n"
      "[RecordOptions]\nSaveMp3=0\n"
      "[QueryCDDB]\nServer=gnudb.gnudb.org\nScript=/~cddb/"
      "cddb.cgi\nUseProxy=0\nProxyAddress=\nPort=80\nEmail=\n"
      "[ID3]\nUse=0\n"
      "[Options]\nLan=English\n"
      "[MusicBrainz]\nServer=https://musicbrainz.org\nCoverArtServer=https://coverartarchive.org\nContact=\n"
      "CoverArt=1\nCoverMaxEdge=1200\nCoverPlacement=0\n"
      "[ReplayGain]\nMode=0\n";
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), expected);
}

TEST_F(SettingsTest, EveryFieldSurvivesSaveAndLoad) {
  TSettings& s = Settings();
  s.OutputFolder = " /music/Ærø out ";
  s.OutputFormat = 2;
  s.IsKeepWav = s.IsNormalize = s.EnableRipTime = s.IsSelectVBR = s.IsVBRHead = true;
  s.NormalizePercent = 80;
  s.RipTime = 45;
  s.EncoderStallMinutes = 3;
  s.BitRate = 192;
  s.MaxBitRate = 256;
  s.MpegQuality = 2;
  s.VBRQuality = 7;
  s.StereoMode = 4;
  s.IsUseCompress = false;
  s.CompressPosition = 77;
  s.OggMaxBitRate = 14;
  s.OggNominalBitRate = 8;
  s.OggMinBitRate = 1;
  s.WmaSetting = 32;
  s.Index = 3;
  s.CDDb = s.SaveMp3 = s.UseProxy = s.UseID3 = true;
  s.Server = "cddb.example.org";
  s.Script = "/cgi-bin/cddb";
  s.ProxyAddress = "proxy.local";
  s.Port = "not a number";
  s.Email = "me@example.org";
  s.Lan = "german";
  s.FlacCompressionLevel = 8;
  s.WriteRipLog = s.UseAccurateRip = false;
  s.OpenFolderAfterRip = true;
  s.AccurateRipServer = "127.0.0.1:8080";
  s.ReadOffsets = {{"/discs/My [Disc] ; 1.cue", -30}, {"VENDOR Model X", 667}};
  const TSettings saved = s;
  SaveSettings();
  s = TSettings{};
  LoadSettings();
  EXPECT_EQ(s.OutputFolder, saved.OutputFolder);
  EXPECT_EQ(s.OutputFormat, 2);
  EXPECT_TRUE(s.IsKeepWav && s.IsNormalize && s.EnableRipTime && s.IsSelectVBR && s.IsVBRHead);
  EXPECT_EQ(s.NormalizePercent, 80);
  EXPECT_EQ(s.RipTime, 45);
  EXPECT_EQ(s.EncoderStallMinutes, 3);
  EXPECT_EQ(s.BitRate, 192);
  EXPECT_EQ(s.MaxBitRate, 256);
  EXPECT_EQ(s.MpegQuality, 2);
  EXPECT_EQ(s.VBRQuality, 7);
  EXPECT_EQ(s.StereoMode, 4);
  EXPECT_FALSE(s.IsUseCompress);
  EXPECT_EQ(s.CompressPosition, 77);
  EXPECT_EQ(s.OggMaxBitRate, 14);  // Ogg and MP3 both have a MaxBitRate key, in different sections
  EXPECT_EQ(s.OggNominalBitRate, 8);
  EXPECT_EQ(s.OggMinBitRate, 1);
  EXPECT_EQ(s.WmaSetting, 32);
  EXPECT_EQ(s.Index, 3);
  EXPECT_TRUE(s.CDDb && s.SaveMp3 && s.UseProxy && s.UseID3);
  EXPECT_EQ(s.Server, "cddb.example.org");
  EXPECT_EQ(s.Script, "/cgi-bin/cddb");
  EXPECT_EQ(s.ProxyAddress, "proxy.local");
  EXPECT_EQ(s.Port, "not a number");
  EXPECT_EQ(s.Email, "me@example.org");
  EXPECT_EQ(s.Lan, "german");
  EXPECT_EQ(s.FlacCompressionLevel, 8);
  EXPECT_FALSE(s.WriteRipLog || s.UseAccurateRip);
  EXPECT_TRUE(s.OpenFolderAfterRip);
  EXPECT_EQ(s.AccurateRipServer, "127.0.0.1:8080");
  EXPECT_EQ(s.ReadOffsets, saved.ReadOffsets);
}

TEST_F(SettingsTest, LoadCorrectsOnlyCompressPositionAndSaveWritesCorrectedValues) {
  struct Case {
    QByteArray file;
    qint32 compressPosition;
    QByteArray writtenBack;
  };
  const Case cases[] = {
      {"[OggOptions]\nCompressPosition=10\n", 30, "CompressPosition=30\n"},
      {"[OggOptions]\nCompressPosition=250\n", 100, "CompressPosition=100\n"},
      {"[OggOptions]\nCompressPosition=-2147483648\n", 30, "CompressPosition=30\n"},
      {"[OggOptions]\nCompressPosition=55\n", 55, "CompressPosition=55\n"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(test::WriteBytes(SettingsFilePath(), c.file));
    LoadSettings();
    EXPECT_EQ(Settings().CompressPosition, c.compressPosition) << c.file.constData();
    SaveSettings();
    EXPECT_TRUE(test::ReadBytes(SettingsFilePath()).contains("\n" + c.writtenBack)) << c.file.constData();
  }
}

TEST_F(SettingsTest, UnparsableValuesTakeDefaultsAndBooleansAreNormalised) {
  ASSERT_TRUE(test::WriteBytes(SettingsFilePath(),
                               "[Mp3Options]\nBitRate=abc\nVBRQuality=12\n"
                               "[CommonOptions]\nIsKeepWav=2\nNormalizePercent=250\nRipTime=-5\n"
                               "[Options]\nLan=\n"));
  LoadSettings();
  EXPECT_EQ(Settings().BitRate, 128);
  EXPECT_EQ(Settings().VBRQuality, 12);         // not corrected on load
  EXPECT_EQ(Settings().NormalizePercent, 250);  // likewise
  EXPECT_EQ(Settings().RipTime, -5);
  EXPECT_TRUE(Settings().IsKeepWav);
  EXPECT_EQ(Settings().Lan, "");  // empty is not English: the language file "CLan_.ini" is used
  SaveSettings();
  const QByteArray written = test::ReadBytes(SettingsFilePath());
  EXPECT_TRUE(written.contains("\nBitRate=128\n"));
  EXPECT_TRUE(written.contains("\nIsKeepWav=1\n"));
  EXPECT_TRUE(written.contains("\nLan=\n"));
}

TEST_F(SettingsTest, UpdateKeepsForeignSectionsKeysAndOrder) {
  ASSERT_TRUE(test::WriteBytes(SettingsFilePath(),
                               "[Options]\nLan=French\nWindowLeft=10\n"
                               "[Plugins]\nvisual=on\n"
                               "[Mp3Options]\nStereoMode=0\nFavourite=yes\n"));
  LoadSettings();
  Settings().StereoMode = 3;
  SaveSettings();
  const QByteArray written = test::ReadBytes(SettingsFilePath());
  EXPECT_TRUE(written.startsWith("[Options]\nLan=French\nWindowLeft=10\n[Plugins]\nvisual=on\n"
                                 "[Mp3Options]\nStereoMode=3\nFavourite=yes\nIsSelectVBR=0\n"))
      << written.constData();
  EXPECT_TRUE(written.contains("[CommonOptions]\nOutputFolder="));
}

TEST_F(SettingsTest, SaveKeepsWhatAnotherProcessSavedMeanwhile) {
  ASSERT_TRUE(SaveSettings());
  LoadSettings();
  // Another process, started from the same file, saves a key of its own first.
  IniFile other = IniFile::Load(SettingsFilePath());
  other.WriteInteger("FlacOptions", "CompressionLevel", 8);
  other.WriteInteger("ReadOffsets", "VENDOR Drive", 6);
  ASSERT_TRUE(other.Save(SettingsFilePath()));
  Settings().BitRate = 256;
  Settings().ReadOffsets.insert("OTHER Drive", -12);
  ASSERT_TRUE(SaveSettings());
  ASSERT_TRUE(SaveSettings());  // a second save changes nothing either
  LoadSettings();
  EXPECT_EQ(Settings().BitRate, 256);
  EXPECT_EQ(Settings().FlacCompressionLevel, 8);
  EXPECT_EQ(Settings().ReadOffsets.value("VENDOR Drive"), 6);
  EXPECT_EQ(Settings().ReadOffsets.value("OTHER Drive"), -12);
}

TEST_F(SettingsTest, GarbageOrUnreadableFileGivesDefaults) {
  QByteArray garbage(70000, '\0');
  for (int i = 0; i < garbage.size(); ++i) garbage[i] = char((i * 131 + 7) % 256);
  ASSERT_TRUE(test::WriteBytes(SettingsFilePath(), garbage + "\n" + QByteArray(300000, '=') + "\nBitRate\n"));
  Settings().BitRate = 1;
  LoadSettings();
  EXPECT_EQ(Settings().BitRate, 128);
  EXPECT_EQ(Settings().Lan, "English");
  EXPECT_EQ(Settings().OutputFolder, DefaultOutputFolder());

  // A folder in the way: nothing can be read, and saving must not destroy it.
  QFile::remove(SettingsFilePath());
  ASSERT_TRUE(QDir().mkpath(SettingsFilePath() + "/keep"));
  LoadSettings();
  EXPECT_EQ(Settings().BitRate, 128);
  EXPECT_FALSE(SaveSettings());
  EXPECT_TRUE(QDir(SettingsFilePath() + "/keep").exists());
}

TEST_F(SettingsTest, AnOversizedFileIsReportedAndLeftAlone) {
  EXPECT_TRUE(LoadSettings().isEmpty());  // no file is no problem
  {
    QFile big(SettingsFilePath());
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write("[Mp3Options]\nBitRate=320\n");
    ASSERT_TRUE(big.resize(IniFile::kMaxFileBytes + 1));  // sparse: cheap to make
  }
  const QString problem = LoadSettings();
  EXPECT_TRUE(problem.contains(SettingsFilePath()) && problem.contains("larger than")) << problem.toStdString();
  EXPECT_EQ(Settings().BitRate, 128);
  EXPECT_FALSE(SaveSettings());
  EXPECT_EQ(QFileInfo(SettingsFilePath()).size(), IniFile::kMaxFileBytes + 1);
}

TEST_F(SettingsTest, ReadOnlyFolderLosesChangesAndKeepsOldFile) {
  ASSERT_TRUE(test::WriteBytes(SettingsFilePath(), "[Mp3Options]\nBitRate=160\n"));
  LoadSettings();
  Settings().BitRate = 320;
  QFile::Permissions before = QFile::permissions(DataFolder());
  ASSERT_TRUE(QFile::setPermissions(DataFolder(), QFile::ReadOwner | QFile::ExeOwner));
  test::RunWherePermissionsBind([] { EXPECT_FALSE(SaveSettings()); });
  QFile::setPermissions(DataFolder(), before);
  EXPECT_EQ(test::ReadBytes(SettingsFilePath()), "[Mp3Options]\nBitRate=160\n");
}

TEST(SettingsNamesTest, OutputFormatNamesAndOggBitRates) {
  EXPECT_EQ(OutputFormatName(0), "MP3");
  EXPECT_EQ(OutputFormatName(3), "WMA");
  EXPECT_EQ(OutputFormatName(4), "FLAC");
  EXPECT_EQ(OutputFormatName(5), "");
  EXPECT_EQ(OutputFormatName(-1), "");
  EXPECT_EQ(OggBitRateText(0), " Default");
  EXPECT_EQ(OggBitRateText(7), "112 kbit/s");
  EXPECT_EQ(OggBitRateText(15), "");
  const qint32 kbps[] = {0, 45, 48, 56, 64, 80, 96, 112, 128, 144, 160, 192, 224, 256, 320, 0};
  for (int position = 0; position < 16; ++position) EXPECT_EQ(OggBitRateKbps(position), kbps[position]) << position;
  EXPECT_EQ(OggBitRateKbps(-1), 0);
}

}  // namespace
}  // namespace trackmill
