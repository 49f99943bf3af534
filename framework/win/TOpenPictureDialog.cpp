#include "framework/win/TOpenPictureDialog.h"

#include "framework/win/TPicture.h"

TOpenPictureDialog::TOpenPictureDialog(TComponent* owner) : TOpenDialog(owner) { SetFilter(GraphicFilter(nullptr)); }

TSavePictureDialog::TSavePictureDialog(TComponent* owner) : TSaveDialog(owner) { SetFilter(GraphicFilter(nullptr)); }
