#include "ExportTestSupport.h"

#include "exchange/export/ExportError.h"
#include "exchange/export/HTMLTemplate.h"
#include "exchange/export/HTMLText.h"
#include "exchange/export/RTFText.h"

namespace wl {
namespace {

using test::crlf;

class DocumentWritersTest : public test::WriterTest
{
protected:
    void SetUp() override
    {
        WriterTest::SetUp();
        exporter->captions = {QStringLiteral("Frequency"), QStringLiteral("Callsign")};
        exporter->rows = {
            {QStringLiteral("146.5200"), QStringLiteral("<b>W1AW</b> & co")},
            {QStringLiteral("7.0350"), QString()},
            {QStringLiteral("14.2000"), QStringLiteral("Caf\u00e9 \u0141\u00f3d\u017a")}};
    }
};

// The program's settings: the simple template, bold captions, links, alternating rows. Every
// character of the data is shown as it stands, never taken as markup.
TEST_F(DocumentWritersTest, HtmlPageWithTheProgramsSettings)
{
    exporter->rows.pop_back();
    EXPECT_EQ(exportAs(TExportType::xHTML),
              crlf("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                   "charset=windows-1252\"><title></title></head>|"
                   "<body bgcolor=\"#FFFFFF\" link=\"blue\" vlink=\"purple\" text=\"#000000\" "
                   "alink=\"red\">|"
                   "<font color=\"#004080\" face=\"Arial,Helvetica\">|"
                   "Created: 5/3/26 10:15:02 PM<br><br>|"
                   "<table cellspacing=\"0\" cellpadding=\"4\" border=\"0\" bgcolor=\"#FFFFFF\">|"
                   "<tr valign=\"top\" bgcolor=\"#336699\">|"
                   "<td><b><font color=\"#FFFFFF\">Item</font></b></td>|"
                   "<td><b><font color=\"#FFFFFF\">Frequency</font></b></td>|"
                   "<td><b><font color=\"#FFFFFF\">Callsign</font></b></td>|"
                   "</tr>|"
                   "<tr valign=\"top\" bgcolor=\"#FFFFCF\">|"
                   "<td>1</td>|<td>146.5200</td>|<td>&lt;b&gt;W1AW&lt;/b&gt; &amp; co</td>|"
                   "</tr>|"
                   "<tr valign=\"top\" bgcolor=\"#FFFFFF\">|"
                   "<td>2</td>|<td>7.0350</td>|<td>&nbsp;</td>|"
                   "</tr>|"
                   "</table></font></body></html>"));
}

TEST_F(DocumentWritersTest, HtmlOptionsTitleHeaderFooterAndTemplate)
{
    exporter->SetTitle(QStringLiteral("Log <1>"));
    exporter->SetHeader({QStringLiteral("Club\tlist")});
    exporter->SetFooter({QStringLiteral("%.0f items")});
    exporter->HTML_Options = htShowGridLines | htDisplayTitle | htHorzRules;
    exporter->SetHTML_CustomTemplate(QStringLiteral("a;b;c;d;e;f;g;h;i;j;k\"x"));
    const QByteArray page = exportAs(TExportType::xHTML, {}, TimeStamp);
    EXPECT_TRUE(page.contains("<title>Log &lt;1&gt;</title>"));
    EXPECT_TRUE(page.contains(crlf("<h1>Log &lt;1&gt;</h1>|")));
    EXPECT_TRUE(page.contains(crlf("Club&nbsp;&nbsp;&nbsp;list<br>|<hr>|")));
    EXPECT_TRUE(page.contains("border=\"1\" bgcolor=\"i\""));
    EXPECT_TRUE(page.contains(crlf("<tr valign=\"top\">|<td>1</td>")));
    EXPECT_TRUE(page.contains("<td><font color=\"h\">Item</font></td>"));
    EXPECT_TRUE(page.endsWith(crlf("</table><hr>3 items|</font></body></html>")));

    // A template must have exactly 11 fields; a blank one clears it.
    try {
        exporter->SetHTML_CustomTemplate(QStringLiteral("a;b"));
        ADD_FAILURE() << "a short template was taken";
    } catch (const ExportError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("Invalid Template! Please correct it.\r\n\r\nYou "
                                           "should have \"10\" semicolons but instead you have "
                                           "\"1\""));
    }
    exporter->SetHTML_CustomTemplate(QStringLiteral("  "));
    EXPECT_EQ(exporter->HTMLTemplateText(), HTMLTemplate::builtIn(THTML_Template::htSimple));
    EXPECT_THROW(HTMLTemplate::field(QStringLiteral("a;b"), 3), ExportError);
}

TEST_F(DocumentWritersTest, HtmlLinksOnlyWebAndMailAddresses)
{
    struct Case
    {
        const char* raw;
        const char* html;
    };
    const Case cases[] = {
        {"see http://a.org/x, then", "see <a href=\"http://a.org/x,\">http://a.org/x,</a> then"},
        {"HTTPS://A.ORG", "<a href=\"HTTPS://A.ORG\">HTTPS://A.ORG</a>"},
        {"mail bob@x.org now", "mail <a href=\"mailto:bob@x.org\">bob@x.org</a> now"},
        {"mailto:amy@y.net", "<a href=\"mailto:amy@y.net\">amy@y.net</a>"},
        {"a @ b and c@d and @x.y", "a @ b and c@d and @x.y"},
        {"ftp://f.org news://n", "ftp://f.org news://n"},
        {"javascript:alert(1)", "javascript:alert(1)"},
        {"http://q.org/\"onclick=x<b>", "<a href=\"http://q.org/&quot;onclick=x&lt;b&gt;\">"
                                        "http://q.org/&quot;onclick=x&lt;b&gt;</a>"},
        {"http://r.org/?a=1&b=2\nnext",
         "<a href=\"http://r.org/?a=1&amp;b=2\">http://r.org/?a=1&amp;b=2</a><br>\r\nnext"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HTMLText::linked(QString::fromUtf8(c.raw), false), QString::fromUtf8(c.html))
            << c.raw;
    }
}

TEST_F(DocumentWritersTest, RichTextTableRowsAndCharacters)
{
    const QByteArray doc = exportAs(TExportType::xRichText, {}, TimeStamp);
    EXPECT_TRUE(doc.startsWith("{\\rtf1\\ansi\\ansicpg1252\\uc1"));
    EXPECT_TRUE(doc.contains(crlf("\\margl1250\\margr1250\\margt1000\\margb1000|")));
    // Item column 540, "Frequency" (9) adds 90 x 17, "Callsign" (8) 90 x 16.
    EXPECT_TRUE(doc.contains("\\cellx540\\clvertalt\\clbrdrt\r\n"));
    EXPECT_TRUE(doc.contains("\\cellx2070\\clvertalt\\clbrdrt\r\n"));
    EXPECT_TRUE(doc.contains(
        "\\cellx3510\\clvertalt\\clbrdrt\\pard\\nowidctlpar\\widctlpar\\intbl\\adjustright{\\b"));
    // Item 1 opens the first row, item 2 the next, item 3 the last.
    const qsizetype first = doc.indexOf("{\\i\\f1\\fs16\\row}");
    const qsizetype next = doc.indexOf(crlf("}\\pard\\nowidctlpar\\widctlpar\\intbl\\adjustright{"
                                            "\\f1\\fs16\\row}\\pard\\nowidctlpar\\widctlpar\\intbl"
                                            "\\adjustright{\\f1\\fs16|"));
    const qsizetype last = doc.indexOf("\\clvertalt\\clbrdrb");
    EXPECT_TRUE(first > 0 && first < next && next < last) << first << " " << next << " " << last;
    EXPECT_EQ(doc.count("\\clvertalt\\clbrdrb"), 2);
    EXPECT_TRUE(doc.contains(crlf("<b>W1AW</b> & co\\cell |")));
    EXPECT_TRUE(doc.contains(crlf("Caf\\'e9 \\u321?\\'f3d\\u378?\\cell |")));
    EXPECT_TRUE(doc.endsWith(crlf("\\adjustright{\\f1\\fs16\\par }}|")));
    // Every byte is ASCII, so the code page of the reader does not matter.
    for (char c : doc)
        ASSERT_GE(static_cast<signed char>(c), 0);
    // The word-processor type writes the same document.
    EXPECT_EQ(exportAs(TExportType::xMicrosoft_Word, {}, TimeStamp), doc);
}

TEST_F(DocumentWritersTest, RichTextEscapesAndSingleItem)
{
    EXPECT_EQ(RTFText::convert(u"a\\b{c}\td\ne\x01\U0001F600"),
              QStringLiteral("a\\\\b\\{c\\}\\tab d\\par\r\ne\\u-10179?\\u-8704?"));
    exporter->rows.resize(1);
    const QByteArray doc = exportAs(TExportType::xRichText);
    EXPECT_TRUE(doc.contains("{\\i\\f1\\fs16\\row}"));
    EXPECT_FALSE(doc.contains("\\clvertalt\\clbrdrb"));
}

} // namespace
} // namespace wl
