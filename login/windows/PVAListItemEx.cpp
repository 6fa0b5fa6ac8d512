#include "login/windows/PVAListItemEx.h"

#include "uitoolkit/core/ControlUI.h"

CPVAListItemEx::CPVAListItemEx(SkinUI::CWindowHostUI* host, const PVAAccountRecord& record)
    : CPVAListItem(host, record)
{
}

void CPVAListItemEx::FindControls()
{
    CPVAListItem::FindControls();
    m_imgUnselected = FindInRow(L"imgUnselected");
    m_imgSelected = FindInRow(L"imgSelected");
}

void CPVAListItemEx::ShowSelected(bool selected)
{
    if (m_imgSelected != nullptr)
        m_imgSelected->SetVisible(selected);
    if (m_imgUnselected != nullptr)
        m_imgUnselected->SetVisible(!selected);
}
