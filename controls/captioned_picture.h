#pragma once
// CCaptionedPicture: a picture control that answers for its text with the words its picture shows, so
// that a screen reader can say what the picture says. The picture itself stays as the template made it.
#include <string>

#include "framework/static_ctrl.h"

class CCaptionedPicture : public CStatic {
public:
    void SetCaption(const char* pszCaption) { m_strCaption = pszCaption; }

protected:
    LRESULT WindowProc(UINT nMsg, WPARAM wParam, LPARAM lParam) override;

private:
    std::string m_strCaption;
};
