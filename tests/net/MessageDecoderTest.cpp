#include "net/MessageDecoder.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <sstream>
#include <string>

namespace {

// Every field on one line, so a failed comparison shows exactly which field differs.
std::string describe(const stMsg& m) {
    std::ostringstream out;
    out << "opt=" << m.opt << " online=" << m.online << " name=" << m.name << " desk=" << m.desk
        << " site=" << m.site << " cards=" << m.cards << " per=" << m.per
        << " surplus=" << m.surplus << " now=" << m.now << " score=" << m.score
        << " must=" << m.must << " p0=" << m.p0 << " p1=" << m.p1 << " version=" << m.version;
    for (const st_seat_info& seat : m.info) {
        out << " [" << seat.name << "," << seat.ready << "," << seat.result << "]";
    }
    // The fields of hello, resume and presence; their seats' part only when one is set, so the
    // old kinds' lines stay as they were.
    out << " status=" << m.status << " reason=" << m.reason << " retry=" << m.retry
        << " resume=" << m.resume << " playing=" << m.playing << " seen=" << m.seen
        << " last=" << m.last << " lastsite=" << m.lastsite << " left=" << m.left;
    for (const st_seat_info& seat : m.info) {
        out << " {" << seat.away << "," << seat.auto_play << "," << seat.surplus << ","
            << seat.cards << "," << seat.pass << "}";
    }
    out << " talk=" << m.talk << " say=" << m.say << " code=" << m.code
        << " private=" << m.private_desks << " creator=" << m.creator << " names=" << m.names
        << " nameError=" << m.nameError << " watchers=" << m.watchers;
    return out.str();
}

// A seat entry of the old kinds: name, ready, result.
st_seat_info seat(const char* name, int ready, int result) {
    st_seat_info entry;
    entry.name = name;
    entry.ready = ready;
    entry.result = result;
    return entry;
}

struct Row {
    const char* what;
    std::string text;
    std::function<void(stMsg&)> expect;  // applied to a fresh record
};

void checkRows(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
        stMsg expected;
        row.expect(expected);

        stMsg decoded;
        ASSERT_EQ(decodeMessage(row.text, decoded), DecodeStatus::Ok) << row.what;
        EXPECT_EQ(describe(decoded), describe(expected)) << row.what;

        std::string buffer = row.text;
        stMsg inPlace;
        ASSERT_EQ(decodeMessageInPlace(buffer, inPlace), DecodeStatus::Ok) << row.what;
        EXPECT_EQ(describe(inPlace), describe(expected)) << row.what << " (in place)";
    }
}

TEST(MessageDecoder, FreshRecordHasTheInitialValues) {
    const stMsg m;
    EXPECT_EQ(describe(m),
              "opt= online= name= desk=-1 site=-1 cards= per=-1 surplus= now=-1 score=0 must=0 "
              "p0= p1= version= [,0,0] [,0,0] [,0,0] [,0,0] status= reason= retry=0 resume=0 "
              "playing=0 seen= last= lastsite=-1 left=0 {0,0,,,0} {0,0,,,0} {0,0,,,0} {0,0,,,0} "
              "talk=0 say=-1 code= private=0 creator=0 names=0 nameError= watchers=0");
}

TEST(MessageDecoder, EachKindReadsItsKeys) {
    checkRows({
        {"query", R"({"opt":"query","online":"12","version":"28"})",
         [](stMsg& m) {
             m.opt = "query";
             m.online = "12";
             m.version = "28";
         }},
        {"add", R"({"opt":"add","desk":"5","site":"2","name":"x"})",
         [](stMsg& m) {
             m.opt = "add";
             m.desk = 5;
             m.site = 2;
             m.name = "x";
         }},
        {"start", R"({"opt":"start","cards":"3,17,52,"})",
         [](stMsg& m) {
             m.opt = "start";
             m.cards = "3,17,52,";
         }},
        {"game",
         R"({"opt":"game","per":"1","surplus":"0","now":"2","cards":"4,5,","score":"25","must":"1"})",
         [](stMsg& m) {
             m.opt = "game";
             m.per = 1;
             m.surplus = "0";
             m.now = 2;
             m.cards = "4,5,";
             m.score = 25;
             m.must = 1;
         }},
        {"score", R"({"opt":"score","p0":"120","p1":"-5"})",
         [](stMsg& m) {
             m.opt = "score";
             m.p0 = "120";
             m.p1 = "-5";
         }},
        {"run", R"({"opt":"run","site":"3","name":"bob"})",
         [](stMsg& m) {
             m.opt = "run";
             m.site = 3;
             m.name = "bob";
         }},
        {"timeout", R"({"opt":"timeout","desk":"4","name":"n"})",
         [](stMsg& m) { m.opt = "timeout"; }},
        {"kind compared case-sensitively", R"({"opt":"Query","online":"9","version":"27"})",
         [](stMsg& m) { m.opt = "Query"; }},
        {"keys of other kinds ignored",
         R"({"opt":"add","desk":"1","site":"0","name":"a","cards":"1,","online":"7","per":"2"})",
         [](stMsg& m) {
             m.opt = "add";
             m.desk = 1;
             m.site = 0;
             m.name = "a";
         }},
        {"escapes resolved, bytes kept", R"({"opt":"run","site":"0","name":"a\"b\u00e9\u0000c"})",
         [](stMsg& m) {
             m.opt = "run";
             m.site = 0;
             m.name = std::string("a\"b\xC3\xA9\0c", 7);
         }},
    });
}

TEST(MessageDecoder, SeatsComeFromTheFirstFourInfoElements) {
    checkRows({
        {"change with a fifth element",
         R"({"opt":"change","info":[{"name":"a","ready":"1"},{"name":"","ready":"0"},)"
         R"({"name":"c","ready":"1","result":"9"},{"name":"d","ready":"0"},{"name":"e","ready":"1"}]})",
         [](stMsg& m) {
             m.opt = "change";
             m.info[0] = seat("a", 1, 0);
             m.info[2] = seat("c", 1, 0);
             m.info[3] = seat("d", 0, 0);
         }},
        {"over",
         R"({"opt":"over","info":[{"name":"a","result":"2"},{"name":"b","result":"-2"},)"
         R"({"name":"c","result":"2","ready":"1"},{"name":"d","result":"-2"}]})",
         [](stMsg& m) {
             m.opt = "over";
             m.info[0] = seat("a", 0, 2);
             m.info[1] = seat("b", 0, -2);
             m.info[2] = seat("c", 0, 2);
             m.info[3] = seat("d", 0, -2);
         }},
    });
}

TEST(MessageDecoder, HelloResumeAndPresenceReadTheirKeys) {
    checkRows({
        {"hello accepted", R"({"opt":"hello","status":"ok","resume":"1"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
             m.resume = 1;
         }},
        {"hello offering talk", R"({"opt":"hello","status":"ok","resume":"0","talk":"1"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
             m.talk = 1;
         }},
        {"hello offering private desks", R"({"opt":"hello","status":"ok","resume":"0","private":"1"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
             m.private_desks = 1;
         }},
        {"add at a private desk", R"({"opt":"add","desk":"4","site":"1","name":"p2","code":"031415"})",
         [](stMsg& m) {
             m.opt = "add";
             m.desk = 4;
             m.site = 1;
             m.name = "p2";
             m.code = "031415";
         }},
        {"a join refused", R"({"opt":"join","status":"refused","reason":"too many wrong codes","retry":"42"})",
         [](stMsg& m) {
             m.opt = "join";
             m.status = "refused";
             m.reason = "too many wrong codes";
             m.retry = 42;
         }},
        {"a private desk's resume", R"({"opt":"resume","desk":"4","site":"2","code":"031415","creator":"1"})",
         [](stMsg& m) {
             m.opt = "resume";
             m.desk = 4;
             m.site = 2;
             m.code = "031415";
             m.creator = 1;
         }},
        {"a code belongs to add and resume alone", R"({"opt":"change","code":"031415","creator":"1"})",
         [](stMsg& m) { m.opt = "change"; }},
        {"hello with the name shown", R"({"opt":"hello","status":"ok","resume":"0","talk":"1","names":"1","name":"小明2"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
             m.talk = 1;
             m.names = 1;
             m.name = "小明2";
         }},
        {"hello refused, its name too", R"({"opt":"hello","status":"refused","reason":"bad token","nameError":"too long"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "refused";
             m.reason = "bad token";
             m.nameError = "too long";
         }},
        {"an old server's hello: no names", R"({"opt":"hello","status":"ok","resume":"0"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
         }},
        {"name shown", R"({"opt":"name","name":"阿强"})",
         [](stMsg& m) {
             m.opt = "name";
             m.name = "阿强";
         }},
        {"name refused", R"({"opt":"name","nameError":"in a game"})",
         [](stMsg& m) {
             m.opt = "name";
             m.nameError = "in a game";
         }},
        {"talk", R"({"opt":"talk","site":"3","say":"13"})",
         [](stMsg& m) {
             m.opt = "talk";
             m.site = 3;
             m.say = 13;
         }},
        {"talk ignores the keys of other kinds", R"({"opt":"talk","site":"1","say":"0","desk":"4","name":"x"})",
         [](stMsg& m) {
             m.opt = "talk";
             m.site = 1;
             m.say = 0;
         }},
        {"hello refused with a retry",
         R"({"opt":"hello","status":"refused","reason":"too many reconnects","retry":"42"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "refused";
             m.reason = "too many reconnects";
             m.retry = 42;
         }},
        {"resume mid-game",
         R"({"opt":"resume","desk":"7","site":"2","name":"me","playing":"1",)"
         R"("info":[{"name":"a","ready":"1","away":"1","auto":"0","surplus":"20","cards":"8,9,","pass":"0"},)"
         R"({"name":"b","ready":"1","away":"0","auto":"1","surplus":"0","cards":"","pass":"1"},)"
         R"({"name":"me","ready":"1","away":"0","auto":"0","surplus":"12","cards":"","pass":"0"},)"
         R"({"name":"d","ready":"0","away":"0","auto":"0","surplus":"27","cards":"","pass":"0"}],)"
         R"("cards":"1,2,3,","seen":"8,9,40,","last":"8,9,","lastsite":"0","score":"15",)"
         R"("p0":"100","p1":"-20","now":"2","must":"0","left":"12345"})",
         [](stMsg& m) {
             m.opt = "resume";
             m.desk = 7;
             m.site = 2;
             m.name = "me";
             m.playing = 1;
             m.info[0] = {"a", 1, 0, 1, 0, "20", "8,9,", 0};
             m.info[1] = {"b", 1, 0, 0, 1, "0", "", 1};
             m.info[2] = {"me", 1, 0, 0, 0, "12", "", 0};
             m.info[3] = {"d", 0, 0, 0, 0, "27", "", 0};
             m.cards = "1,2,3,";
             m.seen = "8,9,40,";
             m.last = "8,9,";
             m.lastsite = 0;
             m.score = 15;
             m.p0 = "100";
             m.p1 = "-20";
             m.now = 2;
             m.left = 12345;
         }},
        {"presence",
         R"({"opt":"presence","info":[{"away":"0","auto":"0"},{"away":"1","auto":"1"},)"
         R"({"away":"0","auto":"1","name":"x","ready":"1"},{"away":"1","auto":"0"}]})",
         [](stMsg& m) {
             m.opt = "presence";
             m.info[1].away = 1;
             m.info[1].auto_play = 1;
             m.info[2].auto_play = 1;
             m.info[3].away = 1;
         }},
        {"old kinds ignore the new keys",
         R"({"opt":"change","info":[{"name":"a","ready":"1","away":"1","auto":"1","pass":"1"},)"
         R"({},{},{}],"left":"9","status":"ok","playing":"1"})",
         [](stMsg& m) {
             m.opt = "change";
             m.info[0] = seat("a", 1, 0);
         }},
        {"hello ignores the keys of resume",
         R"({"opt":"hello","status":"ok","desk":"3","left":"9"})",
         [](stMsg& m) {
             m.opt = "hello";
             m.status = "ok";
         }},
    });
}

// Bad data in the new kinds leaves their fields at the initial values, as for the old ones; a
// record like this reaches the scenes, which must cope (a seat of -1, a negative time left).
TEST(MessageDecoder, BadValuesInTheNewKindsKeepInitialValues) {
    checkRows({
        {"hello with numbers", R"({"opt":"hello","status":1,"resume":1,"retry":5})",
         [](stMsg& m) { m.opt = "hello"; }},
        {"resume with numbers and nulls",
         R"({"opt":"resume","desk":7,"site":null,"playing":true,"left":1000,"lastsite":0,"cards":[1]})",
         [](stMsg& m) { m.opt = "resume"; }},
        {"resume with a short info and odd texts",
         R"({"opt":"resume","site":"x","left":"-500","lastsite":"","now":"9",)"
         R"("info":[{"name":"a","surplus":5,"cards":"1,","pass":"yes","away":"2"}]})",
         [](stMsg& m) {
             m.opt = "resume";
             m.site = 0;
             m.left = -500;
             m.lastsite = 0;
             m.now = 9;
             m.info[0].name = "a";
             m.info[0].cards = "1,";
             m.info[0].away = 2;
         }},
        {"talk with numbers", R"({"opt":"talk","site":2,"say":5})",
         [](stMsg& m) { m.opt = "talk"; }},
        {"talk without say, a text for site", R"({"opt":"talk","site":"left"})",
         [](stMsg& m) {
             m.opt = "talk";
             m.site = 0;
         }},
        {"presence with info not an array", R"({"opt":"presence","info":{"away":"1"}})",
         [](stMsg& m) { m.opt = "presence"; }},
        {"presence with elements not objects",
         R"({"opt":"presence","info":[null,"1",{"away":1,"auto":"1"},[]]})",
         [](stMsg& m) {
             m.opt = "presence";
             m.info[2].auto_play = 1;
         }},
    });
}

TEST(MessageDecoder, IntsReadLikeAtoi) {
    struct Case {
        const char* value;
        int expected;
    };
    const Case cases[] = {
        {"5", 5},        {"abc", 0},      {"12x", 12},       {"  12", 12},
        {"\\t\\n12", 12},  {"-3", -3},      {"+7", 7},         {"", 0},
        {"-", 0},        {"1 2", 1},      {" -0042", -42},   {"2147483647", INT_MAX},
        {"99999999999", INT_MAX},         {"-2147483648", INT_MIN},
        {"-99999999999", INT_MIN},
    };
    for (const Case& c : cases) {
        stMsg m;
        const std::string text = std::string(R"({"opt":"add","desk":")") + c.value + "\"}";
        ASSERT_EQ(decodeMessage(text, m), DecodeStatus::Ok) << text;
        EXPECT_EQ(m.desk, c.expected) << "desk \"" << c.value << "\"";
    }
}

TEST(MessageDecoder, BadValuesKeepInitialValues) {
    checkRows({
        {"missing keys", R"({"opt":"game"})", [](stMsg& m) { m.opt = "game"; }},
        {"missing opt", R"({"desk":"5"})", [](stMsg&) {}},
        {"opt not a string", R"({"opt":5,"online":"3"})", [](stMsg&) {}},
        {"values not strings",
         R"({"opt":"game","per":1,"surplus":7,"now":null,"cards":["1"],"score":{},"must":true})",
         [](stMsg& m) { m.opt = "game"; }},
        {"some strings, some not", R"({"opt":"add","desk":5,"site":"2","name":false})",
         [](stMsg& m) {
             m.opt = "add";
             m.site = 2;
         }},
        {"info not an array", R"({"opt":"change","info":{"name":"a","ready":"1"}})",
         [](stMsg& m) { m.opt = "change"; }},
        {"info a string", R"({"opt":"over","info":"abcd"})", [](stMsg& m) { m.opt = "over"; }},
        {"info shorter than four", R"({"opt":"change","info":[{"name":"a","ready":"1"}]})",
         [](stMsg& m) {
             m.opt = "change";
             m.info[0] = seat("a", 1, 0);
         }},
        {"info empty", R"({"opt":"over","info":[]})", [](stMsg& m) { m.opt = "over"; }},
        {"info elements not objects",
         R"({"opt":"change","info":["a",{"name":"b","ready":"1"},3,null]})",
         [](stMsg& m) {
             m.opt = "change";
             m.info[1] = seat("b", 1, 0);
         }},
        {"info element with wrong types",
         R"({"opt":"over","info":[{"name":1,"result":"-1"},{},{},{}]})",
         [](stMsg& m) {
             m.opt = "over";
             m.info[0].result = -1;
         }},
    });
}

TEST(MessageDecoder, StatusTellsJsonFromNonObjectFromGarbage) {
    struct Case {
        std::string text;
        DecodeStatus expected;
    };
    const Case cases[] = {
        {R"({"opt":"query"})", DecodeStatus::Ok},
        {R"(  {"opt":"x"}  )", DecodeStatus::Ok},
        {"[1,2]", DecodeStatus::NotObject},
        {R"("opt")", DecodeStatus::NotObject},
        {"42", DecodeStatus::NotObject},
        {"null", DecodeStatus::NotObject},
        {R"({"opt":)", DecodeStatus::NotJson},
        {"", DecodeStatus::NotJson},
        {"abc", DecodeStatus::NotJson},
        {R"({"opt":"query"} x)", DecodeStatus::NotJson},
        {R"({"opt":"query"}{"opt":"add"})", DecodeStatus::NotJson},
        {"{'opt':'query'}", DecodeStatus::NotJson},
        {"\xEF\xBB\xBF{}", DecodeStatus::NotJson},
        {"\xBF" "0", DecodeStatus::NotJson},
        // Nesting this deep once overflowed the receiver thread's stack in a recursive parse.
        {std::string(300000, '[') + std::string(300000, ']'), DecodeStatus::NotObject},
        {std::string(1 << 20, '{'), DecodeStatus::NotJson},
    };
    for (const Case& c : cases) {
        stMsg m;
        EXPECT_EQ(decodeMessage(c.text, m), c.expected) << c.text;
        std::string buffer = c.text;
        stMsg n;
        EXPECT_EQ(decodeMessageInPlace(buffer, n), c.expected) << c.text << " (in place)";
        if (c.expected != DecodeStatus::Ok) {
            EXPECT_EQ(describe(m), describe(stMsg{})) << "a refused text fills nothing";
        }
    }
}

TEST(MessageDecoder, ParsesOnlyTheViewNotWhatFollows) {
    const std::string storage = R"({"opt":"add","desk":"5"}garbage)";
    stMsg m;
    ASSERT_EQ(decodeMessage(std::string_view(storage).substr(0, storage.find("garbage")), m), DecodeStatus::Ok);
    EXPECT_EQ(m.desk, 5);
}

TEST(VersionCheck, OnlyAQueryWithAnotherVersionIsRefused) {
    struct Case {
        const char* opt;
        const char* version;
        bool accepted;
    };
    const Case cases[] = {
        {"query", "28", true},  {"query", "27", false}, {"query", "", false},
        {"query", "28 ", false}, {"query", "028", false}, {"Query", "27", true},
        {"add", "", true},      {"game", "1", true},
    };
    for (const Case& c : cases) {
        stMsg m;
        m.opt = c.opt;
        m.version = c.version;
        EXPECT_EQ(versionAccepted(m), c.accepted) << c.opt << " / \"" << c.version << "\"";
    }
}

TEST(VersionCheck, MissingVersionInAQueryIsRefused) {
    stMsg m;
    ASSERT_EQ(decodeMessage(R"({"opt":"query","online":"3"})", m), DecodeStatus::Ok);
    EXPECT_FALSE(versionAccepted(m));
}

}  // namespace
