#include "phone/TfmFlash.h"

#include <windows.h>

#include <initializer_list>
#include <limits>

#include "framework/win/TApplication.h"
#include "framework/win/TDBGrid.h"
#include "framework/win/TDataSource.h"
#include "framework/win/TScreen.h"
#include "phone/P2KAPI.h"
#include "phone/Win32DevicePort.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsGauge.h"
#include "skin/controls/TsLabel.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsStatusBar.h"
#include "skin/windows/TsFileDialogs.h"
#include "skin/windows/TsFileNameEdit.h"
#include "skin/windows/TsGridAdapter.h"
#include "skin/windows/TsMessageDlg.h"
#include "skin/windows/TsSkinProvider.h"
#include "workbench/core/FileFilters.h"
#include "workbench/core/Messages.h"

TfmFlash* fmFlash = nullptr;

namespace {

// The gauge is repainted and waiting messages let through at most this often during an upload.
constexpr DWORD RepaintInterval = 50;

}  // namespace

TfmFlash::TfmFlash(TComponent* owner) : TfmFlash(owner, std::make_unique<TWin32DevicePort>(), nullptr) {}

TfmFlash::TfmFlash(TComponent* owner, TDevicePort& port) : TfmFlash(owner, nullptr, &port) {}

TfmFlash::TfmFlash(TComponent* owner, std::unique_ptr<TDevicePort> ownPort, TDevicePort* port)
    : TForm(owner), FOwnPort(std::move(ownPort)), FPort(port != nullptr ? *port : *FOwnPort) {
  SetName("fmFlash");
  SetCaption("Flash");
  SetBorderStyle(bsSingle);
  SetBorderIcons(biSystemMenu | biMinimize);
  SetPosition(poScreenCenter);
  SetClientSize(616, 478);
  CDS = new TClientDataSet();
  FList = std::make_unique<TFlashList>(*CDS);
  BuildControls();
  SetActiveControl(DBGrid1);
  SetOnCreate(TNotifyEvent(this, &TfmFlash::FormCreate));
}

TfmFlash::~TfmFlash() {
  // The link's monitor uses the port: it goes first.
  if (FP2K != nullptr) {
    TP2KAPI* link = FP2K;
    FP2K = nullptr;
    link->Free();
  }
  // Deleted without Free: the components are still there.
  DetachList();
  FList.reset();
  delete CDS;
  CDS = nullptr;
}

// The source lets go of the list before the components go; the list outlives them.
void TfmFlash::BeforeDestruction() {
  DetachList();
  TForm::BeforeDestruction();
}

void TfmFlash::DetachList() {
  if (DataSource1 != nullptr) DataSource1->SetDataSet(nullptr);
  DataSource1 = nullptr;
}

void TfmFlash::BuildControls() {
  sSkinProvider1 = NewComponent<TsSkinProvider>(this);
  sSkinProvider1->SetName("sSkinProvider1");
  sSkinProvider1->SetResizeMode(TsResizeMode::rmBorder);

  DataSource1 = NewComponent<TDataSource>(this);
  DataSource1->SetName("DataSource1");
  DataSource1->SetDataSet(CDS);

  DBGrid1 = NewControl<TDBGrid>(this, this, RECT{8, 8, 512, 212});
  DBGrid1->SetName("DBGrid1");
  DBGrid1->SetDataSource(DataSource1);
  DBGrid1->SetOptions(dgTitles | dgIndicator | dgColumnResize | dgColLines | dgRowLines | dgTabs | dgRowSelect |
                      dgAlwaysShowSelection | dgConfirmDelete | dgCancelOnExit);
  DBGrid1->SetReadOnly(true);
  DBGrid1->AddColumn("CG", "CG", 32);
  DBGrid1->AddColumn("Name", "Name", 208);
  DBGrid1->AddColumn("Type", "Type", 90);
  DBGrid1->AddColumn("A1Str", "Start addr", 72);
  DBGrid1->AddColumn("size", "Size", 64);
  sGridAdapter1 = NewComponent<TsGridAdapter>(this);
  sGridAdapter1->SetName("sGridAdapter1");

  const struct {
    TsButton** Button;
    const char* Name;
    const char* Caption;
    int Top;
    void (TfmFlash::*Click)(TObject*);
  } buttons[] = {{&sButton1, "sButton1", "Add BIN", 8, &TfmFlash::sButton1Click},
                 {&sButton2, "sButton2", "Delete", 40, &TfmFlash::sButton2Click},
                 {&sButton3, "sButton3", "Clear", 72, &TfmFlash::sButton3Click},
                 {&sButton4, "sButton4", "New address", 104, &TfmFlash::sButton4Click},
                 {&sButton5, "sButton5", "Flash", 154, &TfmFlash::sButton5Click},
                 {&sButton6, "sButton6", "Close", 186, &TfmFlash::sButton6Click}};
  for (const auto& b : buttons) {
    TsButton* button = NewControl<TsButton>(this, this, RECT{520, b.Top, 608, b.Top + 26});
    button->SetName(b.Name);
    button->SetCaption(b.Caption);
    button->SetOnClick(TNotifyEvent(this, b.Click));
    *b.Button = button;
  }

  // Labels of their own above the edits: a bound label keeps its right edge when the skin's font
  // widens it.
  const struct {
    TsLabel** Label;
    const char* Name;
    const char* Caption;
    int Left;
  } labels[] = {{&sLabel1, "sLabel1", "RAM Downloader", 8}, {&sLabel2, "sLabel2", "Start address", 396}};
  for (const auto& l : labels) {
    TsLabel* label = NewControl<TsLabel>(this, this, RECT{l.Left, 221, l.Left + 110, 236});
    label->SetName(l.Name);
    label->SetCaption(l.Caption);
    *l.Label = label;
  }
  sFilenameEdit1 = NewControl<TsFilenameEdit>(this, this, RECT{8, 238, 384, 259});
  sFilenameEdit1->SetName("sFilenameEdit1");
  sFilenameEdit1->SetText("");
  sFilenameEdit1->SetMaxLength(255);
  sFilenameEdit1->SetOnButtonClick(TNotifyEvent(this, &TfmFlash::sFilenameEdit1ButtonClick));

  sEdit1 = NewControl<TsEdit>(this, this, RECT{396, 238, 512, 259});
  sEdit1->SetName("sEdit1");
  sEdit1->SetCharCase(ecUpperCase);
  sEdit1->SetText("03FD0000");

  sGauge1 = NewControl<TsGauge>(this, this, RECT{8, 270, 608, 290});
  sGauge1->SetName("sGauge1");
  sGauge1->SetSuffix("%");
  sGauge1->SetProgress(0);

  sMemo1 = NewControl<TsMemo>(this, this, RECT{8, 298, 608, 450});
  sMemo1->SetName("sMemo1");
  sMemo1->SetReadOnly(true);
  sMemo1->SetScrollBars(ssVertical);
  sMemo1->SetText("");

  sStatusBar1 = NewControl<TsStatusBar>(this, this, RECT{0, 456, 616, 478});
  sStatusBar1->SetName("sStatusBar1");
  sStatusBar1->SetAlign(alBottom);
  sStatusBar1->SetSizeGrip(false);  // the window keeps its size
  sStatusBar1->AddPanel({Msgs[TMsgId::NotConnected], 128});
  sStatusBar1->AddPanel({"", 50});
}

void TfmFlash::FormCreate(TObject*) {
  FP2K = NewComponent<TP2KAPI>(this, FPort);
  FP2K->SetOnConnect([this](bool connected) { P2KConnectChanged(connected); });
  FP2K->SetOnError([this](const std::string& message) { LogLine(message); });
  FP2K->Start(true);
  CDS->CreateDataSet();
}

void TfmFlash::Notification(TComponent* component, TOperation operation) {
  TForm::Notification(component, operation);
  if (operation != TOperation::Remove) return;
  if (component == FP2K) FP2K = nullptr;
  if (component == FAddBinDialog) FAddBinDialog = nullptr;
  if (component == FOwnAddBinDialog) FOwnAddBinDialog = nullptr;
}

void TfmFlash::SetAddBinDialog(TOpenDialog* dialog) {
  if (FAddBinDialog == dialog) return;
  if (FAddBinDialog != nullptr) FAddBinDialog->RemoveFreeNotification(this);
  FAddBinDialog = dialog;
  if (FAddBinDialog != nullptr) FAddBinDialog->FreeNotification(this);
}

void TfmFlash::P2KConnectChanged(bool connected) {
  sStatusBar1->SetPanelText(0, Msgs[connected ? TMsgId::Connected : TMsgId::NotConnected]);
}

void TfmFlash::ResetList() {
  if (FRunning) return;
  FList->Reset();
}

void TfmFlash::SetRamDownloader(const std::string& fileName, const std::string& startAddress) {
  if (FRunning || sFilenameEdit1 == nullptr) return;
  sFilenameEdit1->SetText(fileName);
  sEdit1->SetText(startAddress);
}

void TfmFlash::AppendRow(std::optional<int32_t> cg, const std::string& name, const std::string& type, int32_t a1,
                         int32_t size) {
  if (FRunning) return;
  FList->AppendRow(cg, name, type, a1, size);
}

void TfmFlash::sFilenameEdit1ButtonClick(TObject*) {
  sFilenameEdit1->SetFilter(GetFilter(TFilterKind::RamDownloaders));
}

void TfmFlash::sButton1Click(TObject*) {
  if (FRunning) return;
  TOpenDialog* dialog = FAddBinDialog;
  if (dialog == nullptr) {
    if (FOwnAddBinDialog == nullptr) FOwnAddBinDialog = NewComponent<TsOpenDialog>(this);
    dialog = FOwnAddBinDialog;
  }
  dialog->SetFilter(GetFilter(TFilterKind::CodeGroupImages));
  if (!dialog->Execute() || FRunning) return;
  // "New address" corrects an address the name does not give.
  FList->AddImageFile(dialog->FileName());
}

void TfmFlash::sButton2Click(TObject*) {
  if (FRunning) return;
  FList->DeleteCurrent();
}

void TfmFlash::sButton3Click(TObject*) { ResetList(); }

void TfmFlash::sButton4Click(TObject*) {
  if (FRunning || !CDS->Active() || CDS->IsEmpty()) return;
  std::string text = CDS->FieldByName("A1Str")->AsString();
  const TBookmark row = CDS->GetBookmark();
  if (!SkinInputQuery("Tarvex", Msgs[TMsgId::EnterNewAddress], text)) return;
  const std::optional<std::uint32_t> address = TFlashSequence::ParseAddress(text);
  if (!address) {
    LogLine("Invalid address \"" + text + "\": 1 to 8 hex digits expected.");
    return;
  }
  // The prompt pumped messages: the row may have gone meanwhile.
  if (FRunning || !CDS->Active() || !CDS->BookmarkValid(row)) return;
  CDS->GotoBookmark(row);
  CDS->Edit();
  CDS->FieldByName("A1")->SetAsInteger(static_cast<int32_t>(*address));
  CDS->Post();
}

void TfmFlash::sButton6Click(TObject*) { Close(); }

TFlashJob TfmFlash::CurrentJob() {
  TFlashJob job;
  job.Loader = sFilenameEdit1->FileName();
  job.StartAddress = sEdit1->Text();
  job.Rows = FList->Rows();
  return job;
}

void TfmFlash::sButton5Click(TObject*) {
  if (FRunning || FP2K == nullptr || !FP2K->Connected()) return;
  // The run works on a copy: nothing another window does to the list reaches it.
  const TFlashJob job = CurrentJob();
  FRunning = true;
  struct TRunEnd {
    bool& Running;
    ~TRunEnd() { Running = false; }
  } runEnd{FRunning};
  try {
    TFlashSequence(*FP2K, *this).Run(job);
  } catch (const std::exception& e) {
    // The log is the flasher's only report.
    LogLine(std::string("The run stopped: ") + e.what());
  }
}

void TfmFlash::LogLine(const std::string& line) {
  if (sMemo1->HandleAllocated()) {
    // Appended at the end, which scrolls the last line into view.
    const int length = GetWindowTextLengthA(sMemo1->Handle());
    sMemo1->SetSelStart(length);
    sMemo1->SetSelLength(0);
    sMemo1->SetSelText(length > 0 ? "\r\n" + line : line);
  } else {
    sMemo1->AddLine(line);
  }
}

void TfmFlash::Progress(std::uint64_t done, std::uint64_t total) {
  const DWORD now = GetTickCount();
  const bool edge = done == 0 || done >= total;
  if (!edge && now - FLastRepaint < RepaintInterval) return;
  FLastRepaint = now;
  // The gauge counts in 32 bits.
  int shift = 0;
  while ((total >> shift) > static_cast<std::uint64_t>(std::numeric_limits<int32_t>::max())) ++shift;
  sGauge1->SetMinValue(0);
  sGauge1->SetMaxValue(static_cast<int32_t>(total >> shift));
  sGauge1->SetProgress(static_cast<int32_t>(done >> shift));
  if (sGauge1->Parent() != nullptr && HandleAllocated()) sGauge1->Update();
  Application->ProcessMessages();
}

void TfmFlash::ProcessMessages() { Application->ProcessMessages(); }

bool TfmFlash::WaitIdly(const std::function<bool()>& done, std::uint32_t timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    Application->ProcessMessages();
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

bool TfmFlash::WaitForConnection(bool wanted, std::uint32_t timeoutMs) {
  return WaitIdly([&] { return FP2K != nullptr && FP2K->Connected() == wanted; }, timeoutMs);
}

void TfmFlash::Sleep(std::uint32_t ms) {
  WaitIdly([] { return false; }, ms);
}

void TfmFlash::SetBusy(bool busy) {
  if (busy) FFocusedBeforeRun = ActiveControl();
  // The run pumps messages: a browse dialog or the grid's delete question opened from one of these
  // would hold the run inside its modal loop.
  for (TWinControl* control : std::initializer_list<TWinControl*>{sButton1, sButton2, sButton3, sButton4, sButton5,
                                                                  sButton6, sFilenameEdit1, sEdit1, DBGrid1})
    control->SetEnabled(!busy);
  Screen->SetCursor(busy ? crHourGlass : crDefault);
  // Disabling the focused control (the "Flash" button) left the window without a focus.
  if (!busy && FFocusedBeforeRun != nullptr && Active() && FFocusedBeforeRun->CanFocus()) FFocusedBeforeRun->SetFocus();
}
