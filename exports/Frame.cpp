#include "exports/Frame.h"

#include "utils/text/Utils.CodingStr.h"

namespace Sedgefold {
namespace {

void RequireText(const Utils::Error::Site& site, const void* text) {
  if (text != nullptr) return;
  Utils::Error::Site detected = site;
  detected.tags = Utils::Error::kFunction | Utils::Error::kDetected;
  Utils::Error::Raise(detected, L"Вместо строки передан нулевой указатель.", false);
}

}  // namespace

void ShowCaught(const Utils::Error::Site& site, const std::wstring& caught) noexcept {
  try {
    const std::wstring report = Utils::Error::Failure(site, caught, false).Text();
    Utils::Error::Deliver(report, Project::ModuleName().c_str(), Utils::Error::kStyleError);
  } catch (...) {
    // Nothing may cross into the host; the export still returns failure.
  }
}

void ShowUnknown(const Utils::Error::Site& site) noexcept {
  try {
    const std::wstring report = Utils::Error::Failure(site, L"Unknown exception!", true).Text();
    Utils::Error::Deliver(report, Project::ModuleName().c_str(), Utils::Error::kStyleInformation);
  } catch (...) {
  }
}

int Answered(const Utils::Error::Outcome& outcome) noexcept {
  if (outcome) return 1;
  try {
    Utils::ThreadState::KeepNote(outcome.Text());
  } catch (...) {
    // No memory for the text: the answer stands on its own.
  }
  return 0;
}

void KeepNoted(const Utils::Error::Site& site) noexcept {
  try {
    if (!Utils::ThreadState::LastReport().empty()) return;
    const std::wstring note = Utils::ThreadState::TakeNote();
    if (!note.empty())
      Utils::ThreadState::KeepReport(Utils::Error::Failure(site, note, false).Text());
  } catch (...) {
  }
}

std::wstring WideArgument(const Utils::Error::Site& site, const wchar_t* text) {
  RequireText(site, text);
  return text;
}

std::wstring WideArgument(const Utils::Error::Site& site, const char* text) {
  RequireText(site, text);
  const std::wstring wide = Utils::CodingStr::AnsiToUnicode(text, Utils::CodingStr::kAnsiCodePage);
  return wide.substr(0, wide.find(L'\0'));
}

}  // namespace Sedgefold
