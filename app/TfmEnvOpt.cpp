#include "app/TfmEnvOpt.h"

TfmEnvOpt* fmEnvOpt = nullptr;

TfmEnvOpt::TfmEnvOpt(TComponent* owner) : TForm(owner) {
  SetName("fmEnvOpt");
  SetCaption("Environment options");
}
