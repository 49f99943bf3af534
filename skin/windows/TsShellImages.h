#pragma once

class TImageList;

// The shell's small system image list, one for the process: made on first use and owned by the
// application. Its images belong to the shell; users never free it.
TImageList* SmallSystemImages();
