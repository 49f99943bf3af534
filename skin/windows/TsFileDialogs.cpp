#include "skin/windows/TsFileDialogs.h"

TsOpenDialog::TsOpenDialog(TComponent* owner) : TOpenDialog(owner) {}

bool TsOpenDialog::Execute() { return TOpenDialog::Execute(); }

TsSaveDialog::TsSaveDialog(TComponent* owner) : TSaveDialog(owner) {}

bool TsSaveDialog::Execute() { return TSaveDialog::Execute(); }

TsOpenPictureDialog::TsOpenPictureDialog(TComponent* owner) : TOpenPictureDialog(owner) {}

bool TsOpenPictureDialog::Execute() { return TOpenPictureDialog::Execute(); }

TsSavePictureDialog::TsSavePictureDialog(TComponent* owner) : TSavePictureDialog(owner) {}

bool TsSavePictureDialog::Execute() { return TSavePictureDialog::Execute(); }
