# The standard controls, the data-aware grid and navigator, and the file dialogs (Windows builds only).
if(TARGET framework_win)
  target_sources(framework_win PRIVATE
    Accelerators.cpp
    TBitBtn.cpp
    TButton.cpp
    TButtonControl.cpp
    TButtonGlyph.cpp
    TComboBox.cpp
    TComboBoxEx.cpp
    TDataLink.cpp
    TDataSource.cpp
    TDBGrid.cpp
    TDBNavigator.cpp
    TGlyphButton.cpp
    TCheckBox.cpp
    TCustomEdit.cpp
    TGroupBox.cpp
    TImage.cpp
    TLabel.cpp
    TListItem.cpp
    TListView.cpp
    TMemo.cpp
    TOpenDialog.cpp
    TOpenPictureDialog.cpp
    TPageControl.cpp
    TPaintBox.cpp
    TPanel.cpp
    TRadioButton.cpp
    TRadioGroup.cpp
    TRichEdit.cpp
    TScrollBar.cpp
    TSpeedButton.cpp
    TStatusBar.cpp
    TTabSheet.cpp
    TUpDown.cpp
  )
  target_link_libraries(framework_win PUBLIC comdlg32)
endif()
