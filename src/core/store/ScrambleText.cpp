#include "core/store/ScrambleText.h"

#include "core/system/Cp1252.h"

namespace {

// Every scrambled value in every store depends on this key: it never changes.
constexpr char kKey[] = "5-j\"q*u|8:`V15EiCVzl_e26\\IU,euE&\?TTV+&wvnYC\"~qDLrUKpB\"sxHlof4=wJr"
                        "K4cJyn:@E>\\yXBc/4`,Zd@:][YaXNpp$&gtWI_:wr*#a\?xQ\"Yzj&Hlk6bexTnUi3l"
                        "3wR8\\|L7Raz&'o:\"j~\"/:TjatB&4ER2TFY~p.S!#3UoB\?7\"8-/z%wS}G:T6%x7%%z"
                        "d(E3;@``pEG9I&(%^9\?`\?+mSiu)te|@RXAm2y%i<G\?N{*S}(2{1>pwi%{Pe=$h}_>"
                        "\"dXwi\"+,bCN24/\\!Ykx~(.I8*jLf`FCWi=M>j1vlA$LMY4=tmqj\"(lPLsDK\">z@N/"
                        "'|0l>0xrMSJ&9+uk=i~jcCPzV3n%@TFF8Oh\\T9a_eE^Zx&=\"5!5,q~\?Tnnq7d;t5X"
                        "!Ex*CMX/z~3>4c{vM~}oN4}.Qm#\\l\?5DFPur&3xMyaI[wUyzhV2D#;-N(y:Wp>t^O"
                        "v~c+b'&OOKK+ke<&H#voC-<oS*H\?chkhz.&M,`ke-%P`%^-:%J8ZL62!B:l\?Srms<"
                        "$$\"L+TbnT^u+<eHek>~fqj/1ls[Y9Md['BJu&.3w+^!gKb=Mv<:|Oyq-E*[*4i%]E"
                        "jY|y-lGv}D%JX/nJf<$B>qYF|qlqgzw+,]\?cF}Rd$GYG~vi7x5Z+sh*Rke@$A;Q&Q"
                        "fzq$s)]hA_1%Hd~e'Gu[b~50=(F-A~zI$5~D4*)fYBS`^>bD\?[tJPP+F;s%~CR5mZ"
                        "yPHw\"6gvk^B)z[elpL2MHO\?\\6-q)>#F-w(}o+^Eb^jgvY`>D>4x>t2O[M#U&K\"Rmx"
                        "ZwvQA#y&brz-m`<\"d;Z{M$}Hb/5~^xI'%lF&925fVE$U\\i;J\\VKGv~Wc\?-xm35^aT"
                        "but%=*{=\"(s;PbBXz)F'Ng`4p5a*#@czE4>Y_9gU_K~tj)|S)2_UzWJ\"B`kqDxa7q"
                        "1+UnUKWr5{UUhMF'k~E(:k+@c,Y=OF.o+=4V%@uRoM}5F'''4{;ik\"w\"too4!nEc]";
static_assert(sizeof(kKey) - 1 == kScrambleKeyLength, "the key has 975 characters");

} // namespace

int scrambleKeyCode(int position)
{
    return static_cast<unsigned char>(kKey[(position - 1) % kScrambleKeyLength]);
}

std::optional<QString> ScrambleText(const QString &text, const QString &mode, qsizetype *failedAt)
{
    const auto fail = [failedAt](qsizetype position) {
        if (failedAt)
            *failedAt = position;
        return std::nullopt;
    };
    if (text.size() > kScrambleMaxLength)
        return fail(text.size());
    const bool scramble = mode == QLatin1String("1");
    // Written in place: every stored note goes through here on each read.
    QString result(text.size(), Qt::Uninitialized);
    QChar *out = result.data();
    int keyAt = 0;
    for (QChar c : text) {
        int code = Cp1252::code(c);
        if (code < 0)
            return fail(out - result.data());
        const int key = static_cast<unsigned char>(kKey[keyAt]);
        keyAt = keyAt + 1 == kScrambleKeyLength ? 0 : keyAt + 1;
        code = scramble ? code + key : code - key;
        if (code < 0 || code > 255)
            return fail(out - result.data());
        *out++ = Cp1252::character(code);
    }
    return result;
}
