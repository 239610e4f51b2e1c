#pragma once

#include "ui/framework/combobox.h"
#include "ui/framework/imagelist.h"

#include <memory>
#include <string>

constexpr UINT CBEIF_TEXT = 0x1, CBEIF_IMAGE = 0x2, CBEIF_SELECTEDIMAGE = 0x4, CBEIF_LPARAM = 0x20;

struct COMBOBOXEXITEM {
    UINT mask = 0;
    INT_PTR iItem = 0;
    wchar_t* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int iOverlay = 0;
    int iIndent = 0;
    LPARAM lParam = 0;
};

// A drop-down list whose items carry a picture of an image list; the plain drop-down's
// operations (count, selection, texts) serve it as they are.
class CComboBoxEx : public CComboBox {
public:
    // Answers the item's index, or -1. An index of -1 appends.
    int InsertItem(const COMBOBOXEXITEM* item);
    int DeleteItem(int index) { return DeleteString(index); }
    // Copies the item's text (cut to cchTextMax with its terminator) and fields.
    BOOL GetItem(COMBOBOXEXITEM* item) const;
    CImageList* SetImageList(CImageList* images);

private:
    CImageList* m_images = nullptr;
    std::shared_ptr<hostui::ImageStore> m_store;
};
