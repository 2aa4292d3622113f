# Sourced by the screenshot scripts once the private prefix is booted. Wine lists the system's
# fonts through fontconfig, but a face without a glyph falls back to another only along the
# font links of "FontLink\SystemLink" (as on Windows), and its default links (in an English
# locale: none for Chinese) name Windows fonts that are not installed. So the faces the agent
# and the program draw with, as Wine resolves them, are linked to WenQuanYi Micro Hei from
# Debian's fonts-wqy-microhei (tools/install-deps).
link='wqy-microhei.ttc,WenQuanYi Micro Hei'
for face in 'Arial' 'Liberation Sans' 'Segoe UI' 'Tahoma' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Microsoft Sans Serif' \
            'DejaVu Sans'; do
  "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
    /v "$face" /t REG_MULTI_SZ /d "$link" /f >/dev/null 2>&1
done
