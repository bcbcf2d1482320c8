#include "settings/EnglishStrings.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace trackmill {
namespace {

#define TRACKMILL_SUPPORT_EMAIL "trackmill-support@example.org"

struct EnglishEntry {
  const char* key;
  const char* text;
};

// Sorted by key (checked by the tests), so lookups can search by halves.
constexpr EnglishEntry kEnglishTable[] = {
    {"RES_Ask_RemoveTag", "Do you want to remove these tags?"},
    {"RES_BitRate_Error", "\"%1\" is not a bit rate: please choose one from the list or type a number of kbit/s."},
    {"RES_CddbBadReply", "The CDDB server sent a reply that is not a CDDB reply; check the server name and the query script."},
    {"RES_CddbBadToc", "The table of contents of the disc cannot be looked up."},
    {"RES_CddbCancelled", "The query was stopped."},
    {"RES_CddbClose", "Close"},
    {"RES_CddbFailed", "The CDDB query failed (code %1)."},
    {"RES_CddbHttpError", "The CDDB server refused the request; check the server name and the query script."},
    {"RES_CddbNoEmail", "CDDB servers answer only clients that give a real e-mail address. Set it in options.ini, section [QueryCDDB], key Email= (or pass --email ADDRESS)."},
    {"RES_CddbNoMatch", "No match found: the CDDB server has no entry for this disc."},
    {"RES_CddbNoNetwork", "The CDDB server could not be reached; check the network, the server name and the proxy settings."},
    {"RES_CddbNoTitles", "The CDDB entries hold no track titles; the titles stay as they were."},
    {"RES_CddbRefused", "The CDDB server refused the request (reply code %1)."},
    {"RES_CddbTimeout", "The CDDB server did not answer in time."},
    {"RES_Check_CDRom", "Can not find audio CD in your CD device."},
    {"RES_Check_FileName", "Please check the file name."},
    {"RES_Check_Mp3Options", "Create MP3 file error!\nPlease check the output and lame options or run application again."},
    {"RES_Check_Output", "Please check the output directory setting."},
    {"RES_Clear_History", " item(s) removed from the history."},
    {"RES_Close_CD_Error", "Error while closing CD handle!"},
    {"RES_Converting", "Converting..."},
    {"RES_CreateFileError", "WAV file will be created maybe is been using,extract failed!"},
    {"RES_CreateProcess_Error", "Error while creating mp3 encoding process!"},
    {"RES_CreateWavFileError", " is not a valid file name.Please rename the Title in the CD tracks list."},
    {"RES_Create_Directory", "creates a new directory?"},
    {"RES_Decoding", "Decoding"},
    {"RES_Delete_Fail", "Error when deleting file, please check if the file is being uesd."},
    {"RES_Directory_Not_Exist", "The output directory does not exist."},
    {"RES_Discard_Modify", "Discard the modification since last save file."},
    {"RES_Encoder_Crashed", "The encoder was killed or crashed."},
    {"RES_Encoder_Exit", "The encoder ended with code %1."},
    {"RES_Encoder_NoOutput", "The encoder wrote no output."},
    {"RES_Encoder_Stalled", "The encoder printed nothing and its output did not grow for %1 seconds; it was stopped."},
    {"RES_Encoding", "Encoding"},
    {"RES_Extracting", "Extracting"},
    {"RES_File_Cannot_Create", " maybe be used!"},
    {"RES_File_Exist", " already exists. Replace it?"},
    {"RES_File_Not_Found", "The file could not be found."},
    {"RES_Get_CDHandle", "Please access CD devices rightly above all!"},
    {"RES_Have_Modify", " has been modified,Save it?"},
    {"RES_ID3Edit_Caption", "ID3 Tag Edit"},
    {"RES_Image_No_Tray", "A disc image has no tray to open or close."},
    {"RES_Initing", "Initializing..."},
    {"RES_Job_Done_Of", "Done: %1 of %2"},
    {"RES_Language_How_To_Add", "To add a language, copy %1 to %2 and translate the texts after each \"=\"."},
    {"RES_Language_Not_Found", " can not be found."},
    {"RES_MCI_Init_Fail", "The sound device could not be opened."},
    {"RES_MP3_TO_WAV", "Decoding MP3 to WAV"},
    {"RES_ModifyCDParmsError", "CD extract failed!Please try again."},
    {"RES_MusicBrainzNotFound", "MusicBrainz knows no release of this disc."},
    {"RES_NoMp3Encoder", "Can not find the MP3 encoder \"lame\" beside trackmill or on the PATH. Please install the lame package."},
    {"RES_NoMp3Runner", "No MP3 encoder is available."},
    {"RES_NoNameStr", "NoName"},
    {"RES_NoWmaEncoder", "Can not find WMA encoder,please contact with " TRACKMILL_SUPPORT_EMAIL "!"},
    {"RES_No_Mixer", "No volume control was found. Install the package pavucontrol, or alsa-utils together with a terminal emulator such as xterm."},
    {"RES_No_To_All", "No to All"},
    {"RES_Normalize_Create", "Cannot create %1."},
    {"RES_Normalize_Open", "Cannot open %1 for normalising."},
    {"RES_Normalize_Read", "Cannot read %1."},
    {"RES_Normalize_Replace", "Cannot replace %1 by the normalised file."},
    {"RES_Normalize_Short", "%1 is not a WAV file."},
    {"RES_Normalize_Write", "Cannot write %1."},
    {"RES_NotFound_CDRom", "No CD devices found!"},
    {"RES_NotRead_Cd", "Not get CD device information!"},
    {"RES_Not_Wav_File", " is not a WAV file this program can read."},
    {"RES_Operate_Fail", "maybe be used,operate fail!"},
    {"RES_Play", "Play "},
    {"RES_ReadCDAudioError", "Error while reading CD information!"},
    {"RES_ReadTocError", "Error while reading TOC information!"},
    {"RES_RealOne_Window_Exist", "Please close VLC media player first. Continue?"},
    {"RES_RecordingStr", "Recording..."},
    {"RES_RemoveTag_Error", "Could not remove Tag!"},
    {"RES_Rip_Time_Error", "Please check the song length to extract."},
    {"RES_Run_Again", "Configuration finished. Please exit the software and run again!"},
    {"RES_SaveDiscInfoError", "The titles of this disc could not be saved in %1."},
    {"RES_SaveTag_Error", "Could not save Tag!"},
    {"RES_Save_Error", "Error while saving sound file!"},
    {"RES_Save_Fail", "Error when saving WAV file,please check if the file is being uesd."},
    {"RES_Save_Settings_Error", "The settings could not be saved to %1."},
    {"RES_Select_0", "You select to extract 0 second, please change it on Options dialog."},
    {"RES_Select_Directory", "Please select the directory to save mp3 and wav file"},
    {"RES_Select_Track", "Please select a track at least!"},
    {"RES_Success", "Success!"},
    {"RES_Summary_Accurate", "accurately ripped (confidence %1)"},
    {"RES_Summary_Accurate_Count", "AccurateRip: %1 of %2 tracks accurately ripped."},
    {"RES_Summary_Attention", "These tracks need your attention:"},
    {"RES_Summary_Declined", "kept (not replaced)"},
    {"RES_Summary_Disc_Unknown", "AccurateRip: this disc is not in the database yet, so the tracks could not be compared."},
    {"RES_Summary_Failed", "failed"},
    {"RES_Summary_Finished", "Rip finished"},
    {"RES_Summary_Not_Accurate", "not accurately ripped"},
    {"RES_Summary_Not_Checked", "not checked"},
    {"RES_Summary_Not_Done", "not done"},
    {"RES_Summary_Not_In_Database", "not in the database"},
    {"RES_Summary_Nothing_Written", "No track was written: the file of every track was already there and was kept."},
    {"RES_Summary_Stopped", "stopped"},
    {"RES_Summary_Track", "Track %1: %2"},
    {"RES_Summary_Unreachable", "The AccurateRip database could not be reached, so the tracks were not checked against it."},
    {"RES_Summary_Unreadable", "The AccurateRip reply could not be read, so the tracks were not checked against it."},
    {"RES_Summary_Written", "written"},
    {"RES_Summary_Written_Count", "%1 of %2 tracks written."},
    {"RES_TitleStr", "Record"},
    {"RES_Tray_Fail", "The drive did not move its tray."},
    {"RES_WAV_RESAMPLE", "Resampling WAV"},
    {"RES_WAV_TO_FLAC", "Encoding WAV to FLAC"},
    {"RES_WAV_TO_MP3", "Encoding WAV to MP3"},
    {"RES_WAV_TO_OGG", "Encoding WAV to OGG"},
    {"RES_WAV_TO_WMA", "Encoding WAV to WMA"},
    {"RES_Wav_File", "The save file should be WAV!"},
    {"RES_WriteWavFileError", " could not be written completely. Please check the free space of the output folder."},
    {"RES_Yes_To_All", "Yes to All"},
};

#undef TRACKMILL_SUPPORT_EMAIL

}  // namespace

QString EnglishText(const QString& key) {
  const QByteArray wanted = key.toLatin1();
  const auto* found = std::lower_bound(std::begin(kEnglishTable), std::end(kEnglishTable), wanted,
                                       [](const EnglishEntry& entry, const QByteArray& k) { return k.compare(entry.key) > 0; });
  if (found == std::end(kEnglishTable) || wanted != found->key) return {};
  return QString::fromUtf8(found->text);
}

QStringList EnglishKeys() {
  QStringList keys;
  for (const EnglishEntry& entry : kEnglishTable) keys << QLatin1String(entry.key);
  return keys;
}

}  // namespace trackmill
