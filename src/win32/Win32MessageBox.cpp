#include "Win32MessageBox.h"

#include "Wide.h"
#include "texts/Catalogue.h"

namespace rinvo::win32 {

MessageAnswer Win32MessageBox::show(std::string_view text, MessageButtons buttons)
{
    UINT type = MB_OK;
    if (buttons == MessageButtons::YesNoDefaultYes)
        type = MB_YESNO | MB_DEFBUTTON1;
    else if (buttons == MessageButtons::YesNoDefaultNo)
        type = MB_YESNO | MB_DEFBUTTON2;
    const int answer = ::MessageBoxW(
        m_owner, widen(text).c_str(), widen(texts::MessageTitle).c_str(), type | MB_SETFOREGROUND);
    if (buttons == MessageButtons::Ok)
        return MessageAnswer::Ok;
    return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
}

} // namespace rinvo::win32
