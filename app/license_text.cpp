#include "app/license_text.h"

#include "app/maker_license.h"
#include "i18n/translations.h"

const char* const LicenseText[LICENSE_PIECE_COUNT] = {
    // 1: title
    "VELMORA END USER LICENCE AGREEMENT FOR THE KRT-P940 SOFTWARE UPGRADE TOOL",
    // 2: preamble
    "\nPlease read this agreement carefully before you use this tool. It is an agreement between you and "
    "Velmora for the upgrade tool and the device software it carries (together, the \"Software\"). By "
    "choosing \"I accept the terms in the license agreement.\" and continuing, you agree to be bound by it. "
    "If you do not agree, choose \"I do not accept the terms in the license agreement.\" and leave the "
    "tool with Exit; nothing on your device will be changed.\n\n",
    // 3: system requirements heading
    "SYSTEM REQUIREMENTS\n",
    // 4: system requirements
    "Windows 7, Windows 8, Windows 8.1, Windows 10 or Windows 11, 32-bit or 64-bit, with a free USB port.\n"
    "At least 200 MB of free disk space in the temporary folder while the upgrade runs.",
    // 5, 6: licence
    "\n\n* 1. LICENCE",
    "\nVelmora grants you a personal, non-exclusive, non-transferable licence to use the Software only to "
    "upgrade the software of KRT-P940 mobile hotspots that you own or are allowed to service. The Software "
    "is licensed, not sold, and Velmora keeps every right that this agreement does not expressly grant.",
    // 7, 8: restrictions
    "\n\n* 2. RESTRICTIONS",
    "\nYou may not copy the Software except as needed to use it, and you may not modify, rent, lend, "
    "distribute or sell it. You may not reverse engineer, decompile or disassemble it, except where the "
    "law allows this despite this restriction. You may not use it on any other device: doing so can make "
    "that device stop working.",
    // 9, 10: device data
    "\n\n* 3. YOUR DEVICE AND YOUR DATA",
    "\nThe upgrade returns every setting of the device, its wireless and web-server passwords included, "
    "to the factory defaults. Note your settings before you start. Keep the device connected and its "
    "battery charged until the tool reports that the upgrade has finished.",
    // 11, 12: updates and support
    "\n\n* 4. UPDATES AND SUPPORT",
    "\nVelmora may offer newer versions of the Software but is under no duty to do so. Support, if any, "
    "is given by the seller of your device or by Velmora under separate terms.",
    // 13, 14: termination
    "\n\n* 5. TERMINATION",
    "\nThis licence ends at once if you break any of its terms. When it ends you must stop using the "
    "Software and delete every copy of it. Section 3 and the disclaimers below survive the end of the "
    "licence.",
    // 15, 16, 17: disclaimers
    "\n\nTHE SOFTWARE IS PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR IMPLIED, INCLUDING "
    "BUT NOT LIMITED TO THE WARRANTIES OF MERCHANTABILITY, FITNESS FOR A PARTICULAR PURPOSE AND "
    "NON-INFRINGEMENT.",
    "\n\nIN NO EVENT SHALL VELMORA OR ITS SUPPLIERS BE LIABLE FOR ANY LOSS OF DATA, LOSS OF USE OR ANY "
    "INDIRECT, INCIDENTAL OR CONSEQUENTIAL DAMAGES ARISING FROM THE USE OF THE SOFTWARE OR FROM AN "
    "UPGRADE THAT WAS INTERRUPTED.",
    "\n\nSOME JURISDICTIONS DO NOT ALLOW THE EXCLUSION OF CERTAIN WARRANTIES OR THE LIMITATION OF "
    "LIABILITY, SO SOME OF THE ABOVE MAY NOT APPLY TO YOU. NOTHING IN THIS AGREEMENT LIMITS YOUR RIGHTS "
    "AS A CONSUMER UNDER THE LAW THAT APPLIES TO YOU.",
    // 18: closing
    "\n\nThis agreement is the whole agreement between you and Velmora about the Software. If any part of "
    "it cannot be enforced, the rest stays in effect. Copyright (C) Velmora. All rights reserved.",
};

bool IsLicensePieceBold(int nPieceIndex)
{
    // Counted from 0: the title, the requirements heading, the five section headings, the disclaimers.
    switch (nPieceIndex) {
    case 0:
    case 2:
    case 4:
    case 6:
    case 8:
    case 10:
    case 12:
    case 14:
    case 15:
    case 16:
        return true;
    default:
        return false;
    }
}

namespace {

// UTF-16 units of a UTF-8 text: one per character, two for one beyond the basic plane.
long Utf16Length(const char* pszText)
{
    long nUnits = 0;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(pszText); *p != 0; ++p) {
        if ((*p & 0xC0) != 0x80)
            nUnits += *p >= 0xF0 ? 2 : 1;
    }
    return nUnits;
}

}  // namespace

std::string JoinLicenseText()
{
    if (const MakerLicense* pMaker = FindMakerLicense(CurrentLanguage()))
        return pMaker->strText;
    std::string strText;
    for (const char* pszPiece : LicenseText) {
        strText += Tr(pszPiece);
    }
    return strText;
}

std::vector<LicenseRange> LicenseBoldRanges()
{
    if (const MakerLicense* pMaker = FindMakerLicense(CurrentLanguage()))
        return pMaker->boldRanges;
    std::vector<LicenseRange> ranges;
    long nPos = 0;
    for (int i = 0; i < LICENSE_PIECE_COUNT; ++i) {
        const long nLength = Utf16Length(Tr(LicenseText[i]));
        if (IsLicensePieceBold(i)) {
            ranges.push_back({nPos, nPos + nLength});
        }
        nPos += nLength;
    }
    return ranges;
}
