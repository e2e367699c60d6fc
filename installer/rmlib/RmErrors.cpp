#include "RmErrors.h"

#include <cstdlib>
#include <utility>

#include "RmLog.h"
#include "RmMessages.h"
#include "RmSettings.h"

namespace Decantor {

namespace {

TMessageTextOverride& Override() {
  static TMessageTextOverride value;
  return value;
}

std::string BaseText(int32_t aCode) {
  std::string text;
  if (Override())
    Override()(aCode, text);
  else
    text = ErrorTableText(aCode);
  if (text.empty()) text = "Error " + std::to_string(aCode);
  // "//" marks a line break in the stored texts.
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      out += "\r\n";
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool EndsWith(const std::string& aText, const std::string& aTail) {
  return aText.size() >= aTail.size() &&
         aText.compare(aText.size() - aTail.size(), aTail.size(), aTail) == 0;
}

}  // namespace

std::string ShortStr(const std::string& S) {
  return S.size() > kShortStringMax ? S.substr(0, kShortStringMax) : S;
}

EMerovantError::EMerovantError(int32_t aCode, const std::string& aInfo)
    : std::runtime_error(ErrorText(aCode, aInfo, "")), FErrorCode(aCode), FInfo(ShortStr(aInfo)) {}

std::string ErrorTableText(int32_t Code) {
  switch (Code) {
    case 1: return "Internal error";
    case 3: return "File corrupted";
    case 4: return "File not found";
    case 5: return "Can't open file";
    case 11: return "File locked";
    case 12: return "Can't load";
    case 15: return "Can't create directory";
    case 16: return "Bad software installation";
    case 17: return "Directory not found";
    case 20: return "Abort current process";
    case 21: return "Process aborted";
    case 28: return "Key not found in Configuration Parameters";
    case 29: return "Value not found in Configuration Parameters";
    case 30: return "Function not found in DLL";
    case 31: return "Invalid value in Configuration Parameters";
    case 37: return "Language not supported";
    case 41: return "Invalid parameter";
    case 54: return "Can't find Merovant Lumenbase configuration Parameters.";
    case 55: return "Searching for Merovant Lumenbase files...";
    case 56: return "Merovant Lumenbase files were found !";
    case 57: return "Following parameters have been added to Configuration under key:";
    case 58: return "No Data Connector available";
    case 60: return "No Language Module available";
    case 61: return "Now, it's recommended to do the following:";
    case 62:
      return "     - complete these parameters using the \"Tools|Preferences\" command of each "
             "Lumenbase Module";
    case 63:
      return "     - check configuration of all connectors to be used (\"Tools|Connector "
             "Configuration\" in Administrator Module)";
    case 64: return "     - synchronize the Repository with Databases";
    default: return "";
  }
}

void SetMessageTextOverride(TMessageTextOverride aOverride) { Override() = std::move(aOverride); }

std::string AddSuffix(const std::string& T, const std::string& S) {
  if (!T.empty() && (T.back() == '!' || T.back() == '.')) return T;
  if (EndsWith(T, S)) return T;
  return T + S;
}

std::string ErrorText(int32_t Code, const std::string& Info, const std::string& Suffix) {
  std::string info = ShortStr(Info);
  if (Code == 0) return info;
  std::string base = BaseText(Code);
  if (info.empty()) return AddSuffix(base, Suffix);
  if (info.size() > 200) return AddSuffix(base, Suffix) + " :\r\n" + AddSuffix(info, ".");
  std::string result = base;
  if (base.empty() || base.back() != '\n') result += " : ";
  return result + AddSuffix(info, Suffix);
}

void RaiseError(int32_t Code, const std::string& Info) {
  if (LogErrors() && Code != 8 && Code != 26 && Code != 27 && Code != 46)
    WriteErrorLog(ErrorText(Code, Info, "."));
  throw EMerovantError(Code, Info);
}

void RaiseErrorLogged(int32_t Code, const std::string& Info) {
  if (SilentMode()) WriteTrace("Error:\r\n\"" + ErrorText(Code, Info, ".") + "\"", true);
  RaiseError(Code, Info);
}

void RaiseFatal(int32_t Code, const std::string& Info) {
  std::string text = ErrorText(Code, Info, ".");
  WriteErrorLog("RaiseFatal !!! " + text, true);
  if (SilentMode()) RaiseErrorLogged(Code, Info);
  auto& windows = TrayWindows();
  for (auto it = windows.rbegin(); it != windows.rend(); ++it)
    if (!(*it)->CloseWithoutQuery()) break;
  UserInterface().RestoreDefaultCursor();
  UserInterface().ProcessMessages();
  if (FatalHalts()) {
    CustomMsg(text, MB_OK | MB_ICONSTOP);
    std::exit(1);
  }
  Warn(Code, Info, false);
}

}  // namespace Decantor
