#include <gtest/gtest.h>

#include <QBuffer>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include "CoreTestSupport.h"
#include "audio/core/AuException.h"
#include "audio/core/AuFileStream.h"
#include "audio/codecs/WaveConverter.h"
#include "common/FileUtils.h"
#include "tests/support/TestPaths.h"

namespace trackmill {
namespace {

QByteArray Le32(quint32 v) {
  QByteArray b(4, '\0');
  qToLittleEndian<quint32>(v, b.data());
  return b;
}

QByteArray Mp3Fmt() {
  // MPEG Layer-3, stereo, 44100 Hz, 16000 bytes/s, align 1, 0 bits, extension of 12 bytes.
  return QByteArray::fromHex("5500" "0200" "44ac0000" "803e0000" "0100" "0000" "0c00" "010002000000a1010100710500");
}

QByteArray Image(const char* riff, const QByteArray& dataBody) {
  const QByteArray fmt = Mp3Fmt();
  const QByteArray chunks = "fmt " + Le32(quint32(fmt.size())) + fmt + "data" + Le32(quint32(dataBody.size())) + dataBody;
  return QByteArray(riff, 4) + Le32(quint32(chunks.size() + 4)) + "WAVE" + chunks;
}

TEST(WaveConverterLoad, NeedsExactRiffAndWaveIds) {
  for (const char* riff : {"RIFF", "riff"}) {
    QByteArray file = Image(riff, QByteArray(100, 'x'));
    QBuffer stream(&file);
    stream.open(QIODevice::ReadOnly);
    TWaveConverter converter;
    converter.LoadFile(stream);
    EXPECT_EQ(converter.Content().size(), QByteArray(riff) == "RIFF" ? 100 : 0) << riff;
  }
}

TEST(WaveConverterLoad, EmptyDataChunkLeavesItEmptyAndConversionFails) {
  QByteArray file = Image("RIFF", {});
  QBuffer stream(&file);
  stream.open(QIODevice::ReadOnly);
  TWaveConverter converter;
  converter.LoadFile(stream);
  EXPECT_TRUE(converter.Content().isEmpty());
  EXPECT_EQ(qFromLittleEndian<quint16>(converter.CurrentFormat().constData()), 0x55);
  qToLittleEndian<quint16>(1, converter.NewFormat().data());
  EXPECT_EQ(converter.SuggestPcmFormat(), 0);
  EXPECT_NE(converter.Convert(), 0);
}

TEST(WaveConverterSave, ThousandBytesOfPcmGiveA1044ByteImage) {
  // A PCM image read back in: the held format and data come out unchanged.
  const QByteArray pcm = test::Tones16(250, 2);
  QByteArray source = "RIFF" + Le32(1036) + "WAVEfmt " + Le32(16) + QByteArray::fromHex("0100020044ac000010b102000400" "1000") +
                      "data" + Le32(1000) + pcm;
  QBuffer in(&source);
  in.open(QIODevice::ReadOnly);
  TWaveConverter converter;
  converter.LoadFile(in);
  QBuffer out;
  ASSERT_EQ(converter.SaveWavToStream(out), 0);
  const QByteArray image = out.data();
  ASSERT_EQ(image.size(), 1044);
  EXPECT_EQ(qFromLittleEndian<quint32>(image.constData() + 4), 1036u);
  EXPECT_EQ(qFromLittleEndian<quint32>(image.constData() + 40), 1000u);
  EXPECT_EQ(image, source);
}

// Sharing is carried by advisory locks that other processes (and the file-in-use test) see.
TEST(AuFileStream, ModesCreateOpenAndShareAsTheirBitsSay) {
  QTemporaryDir dir;
  const QString path = dir.filePath("f.wav");
  EXPECT_THROW(TAuFileStream(path, kAuOpenRead), EAuException);  // must exist
  {
    TAuFileStream created(path, kAuCreate);
    EXPECT_EQ(created.write("abc"), 3);
    created.flush();
    EXPECT_TRUE(IsFileInUse(path));
    try {
      TAuFileStream second(path, kAuOpenRead | kAuShareDenyWrite);
      FAIL() << "opened a file held without sharing";
    } catch (const EAuException& e) {
      EXPECT_FALSE(e.Message().isEmpty());
    }
  }
  EXPECT_FALSE(IsFileInUse(path));
  TAuFileStream reader1(path, kAuOpenRead | kAuShareDenyWrite);
  TAuFileStream reader2(path, kAuOpenRead | kAuShareDenyWrite);
  EXPECT_EQ(reader2.readAll(), "abc");
  TAuFileStream shared(path, kAuOpenReadWrite | kAuShareDenyNone);
  EXPECT_TRUE(shared.isOpen());
}

// A file is emptied only once it is ours; opening an existing file to write never empties it.
TEST(AuFileStream, FileHeldByAnotherProcessKeepsItsContent) {
  QTemporaryDir dir;
  const QString path = dir.filePath("held.wav");
  test::WriteBytes(path, "precious");
  QProcess holder;
  holder.start("flock", {"--exclusive", "--no-fork", path, "sh", "-c", "echo held; exec sleep 60"});
  ASSERT_TRUE(holder.waitForReadyRead(10000));
  EXPECT_THROW(TAuFileStream(path, kAuCreate), EAuException);
  EXPECT_EQ(test::ReadBytes(path), "precious");
  holder.kill();
  holder.waitForFinished();
  {
    TAuFileStream writer(path, kAuOpenWrite | kAuShareExclusive);
    EXPECT_EQ(writer.write("P"), 1);
  }
  EXPECT_EQ(test::ReadBytes(path), "Precious");
}

}  // namespace
}  // namespace trackmill
