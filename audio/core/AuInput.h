#pragma once
#include <QByteArray>
#include <QObject>
#include <QRecursiveMutex>

#include <atomic>

// TAuInput: the base of everything in the audio pipeline that delivers PCM.
//
// PCM is interleaved little-endian: 8-bit unsigned, 16-, 24- and 32-bit signed. Inputs are
// pulled: an output's worker thread calls Init(), then GetData() until it delivers nothing,
// then Flush(). A converter pulls its own input the same way from inside its ReadBlock().
//
// Threads: the format getters may be called from the user-interface thread before a run;
// everything else runs on the worker thread of the output that pulls the chain. The data
// lock (recursive) is held around opening, closing, every GetData() and seeking, so a getter
// or Seek() from another thread never sees a half-fetched block. Position() and Size() may be
// read from any thread.
//
// Errors: EAuException with a fixed English text. Init() turns any failure of OpenInput()
// into an EAuException with the same message.
//
// Lifetime: a QObject so that a window can own it as a child, and so that the outputs and
// converters that read it forget it (QPointer) when it is destroyed. Stop an output before
// destroying its input.
namespace trackmill {

class TAuInput : public QObject {
  Q_OBJECT
 public:
  explicit TAuInput(QObject* parent = nullptr);
  ~TAuInput() override;

  // Format of the PCM delivered. File inputs open their file to answer before a run.
  virtual int GetBitsPerSample() = 0;
  virtual int GetChannels() = 0;
  virtual int GetSampleRate() = 0;
  virtual qint64 GetTotalSeconds();  // base: 0
  virtual qint64 GetTotalFrames();   // base: 0

 protected:
  // Prepares to deliver data; called by Init() under the data lock.
  virtual void OpenInput() = 0;
  // Releases what OpenInput() took; called by Flush() and Reset() under the data lock.
  virtual void CloseInput() = 0;
  // On entry byteCount is the number of bytes wanted; on return data/byteCount describe the
  // next bytes (byteCount 0 at the end). data stays valid until the next call.
  virtual void ReadBlock(const char*& data, int& byteCount) = 0;

 public:
  // Stores the flag; converters then report the input's bits without clearing bit 7.
  virtual void SetFullBitsFlag(bool fullBits);
  // Same contract as ReadBlock(); serves the pre-buffer first and counts Position.
  virtual void GetData(const char*& data, int& byteCount);
  // Closes quietly (failures swallowed) and clears Busy.
  virtual void Reset();
  // Reads ahead until the pre-buffer holds byteCount bytes (or the input ends, or Size is
  // reached). Position does not move: read-ahead counts once it is served.
  virtual void FillPrebuffer(int byteCount);
  virtual void PauseInput();   // base: nothing
  virtual void ResumeInput();  // base: nothing

  // Opens the input for a run: clears end of stream and calls OpenInput(). On failure end of
  // stream is set and EAuException is raised with the failure's message.
  void Init();
  // Ends a run: empties the pre-buffer and calls CloseInput().
  void Flush();
  // One GetData() call copied into buffer; returns the bytes copied.
  int CopyData(char* buffer, int byteCount);
  // GetData() until byteCount bytes were copied or a call delivered nothing; endOfInput is set
  // when the last call delivered nothing. Returns the bytes copied.
  int FillBuffer(char* buffer, int byteCount, bool& endOfInput);
  // Marks the whole pre-buffer as filled with silence (zero bytes), read position 0.
  void InjectSilence();

  qint64 Position() const { return position_.load(); }  // bytes delivered since opening
  qint64 Size() const { return size_.load(); }          // -1 unknown, 0 empty
  int FrameBytes() const { return frameBytes_; }
  bool Seekable() const { return seekable_; }
  bool Busy() const { return busy_.load(); }
  bool EndOfStream() const;

 protected:
  // Serves up to byteCount bytes from the pre-buffer; false when it holds nothing.
  // Caller holds the data lock.
  bool ServePrebuffer(const char*& data, int& byteCount);
  void ClearPrebuffer();  // caller holds the data lock
  // Counts one ReadBlock() result into Position: nothing read, or reaching Size, ends the
  // stream, and bytes beyond Size are cut off. Caller holds the data lock.
  void CountDelivered(int& byteCount);

  std::atomic<qint64> position_{0};
  std::atomic<qint64> size_{0};
  int frameBytes_ = 0;
  bool seekable_ = false;
  std::atomic<bool> busy_{false};
  // Indices into the concrete input's own decode buffer: bytes [bufferRead_, bufferEnd_) are
  // still to be handed out; the buffer is used up when bufferRead_ >= bufferEnd_.
  int bufferRead_ = 0;
  int bufferEnd_ = 0;
  mutable QRecursiveMutex dataLock_;
  bool endOfStream_ = false;  // guarded by dataLock_
  bool fullBits_ = false;
  // Read-ahead kept ready for outputs that must never wait (guarded by dataLock_).
  QByteArray prebuffer_;
  int prebufferFill_ = 0;
  int prebufferRead_ = 0;
};

}  // namespace trackmill
