// JSP scripts served by a real Tomcat 10: what each page's script prints is the page.
#include "CompanionRun.h"
#include "FirstDifference.h"
#include "HostileLines.h"
#include "TargetFormat.h"
#include "Utf16.h"

#include <arpa/inet.h>
#include <bit>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace quillomatic {
namespace {

using namespace std::chrono_literals;
using testing::DataFile;
using testing::FirstDifference;
using testing::ReadBytes;
using testing::RunShell;
using testing::ShellQuoted;
using testing::WriteBytes;

// Where Debian's tomcat10 package installs Tomcat.
const std::filesystem::path kCatalinaHome = "/usr/share/tomcat10";

// A port of 127.0.0.1 that nothing listens on at the moment.
int FreePort() {
    const int probe = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(probe, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(probe);
        return -1;
    }
    ::close(probe);
    return ntohs(address.sin_port);
}

bool Listens(int port) {
    const int client = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    const bool connected =
        ::connect(client, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(client);
    return connected;
}

// A Tomcat of the test's own, never the package's service: its CATALINA_BASE
// in the test's folder, with the server configuration of its own and the
// package's default web.xml; one HTTP connector on 127.0.0.1, no shutdown
// port. It runs as a process group of its own, stopped by its id.
class PrivateTomcat {
public:
    explicit PrivateTomcat(std::filesystem::path base) : m_Base(std::move(base)) {
        for (const char* folder : {"conf", "webapps/ROOT", "logs", "temp", "work"}) {
            std::filesystem::create_directories(m_Base / folder);
        }
        std::filesystem::copy_file(kCatalinaHome / "etc" / "web.xml", m_Base / "conf" / "web.xml");
    }
    PrivateTomcat(const PrivateTomcat&) = delete;
    PrivateTomcat& operator=(const PrivateTomcat&) = delete;

    ~PrivateTomcat() {
        if (m_Pid <= 0) {
            return;
        }
        ::kill(-m_Pid, SIGTERM);
        for (auto waited = 0ms; waited < 30s; waited += 100ms) {
            if (::waitpid(m_Pid, nullptr, WNOHANG) == m_Pid) {
                return;
            }
            std::this_thread::sleep_for(100ms);
        }
        ::kill(-m_Pid, SIGKILL);
        ::waitpid(m_Pid, nullptr, 0);
    }

    [[nodiscard]] std::filesystem::path Webapp() const { return m_Base / "webapps" / "ROOT"; }

    // Starts Tomcat and waits until its connector takes connections.
    ::testing::AssertionResult Start() {
        m_Port = FreePort();
        if (m_Port < 0) {
            return ::testing::AssertionFailure() << "no free port on 127.0.0.1";
        }
        std::ofstream(m_Base / "conf" / "server.xml")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<Server port=\"-1\" shutdown=\"SHUTDOWN\">\n"
               "  <Service name=\"Catalina\">\n"
               "    <Connector address=\"127.0.0.1\" port=\""
            << m_Port
            << "\" protocol=\"HTTP/1.1\"/>\n"
               "    <Engine name=\"Catalina\" defaultHost=\"localhost\">\n"
               "      <Host name=\"localhost\" appBase=\"webapps\" unpackWARs=\"false\""
               " autoDeploy=\"false\"/>\n"
               "    </Engine>\n"
               "  </Service>\n"
               "</Server>\n";
        if (const int error = Spawn(); error != 0) {
            return ::testing::AssertionFailure() << "cannot start Tomcat: " << std::strerror(error);
        }
        for (auto waited = 0ms; waited < 120s; waited += 100ms) {
            if (::waitpid(m_Pid, nullptr, WNOHANG) == m_Pid) {
                m_Pid = -1;
                return ::testing::AssertionFailure() << "Tomcat ended:\n" << Log();
            }
            if (Listens(m_Port)) {
                return ::testing::AssertionSuccess();
            }
            std::this_thread::sleep_for(100ms);
        }
        return ::testing::AssertionFailure() << "Tomcat did not answer in time:\n" << Log();
    }

    // The response to a GET of `path`: the head, and the body written to `body`.
    [[nodiscard]] std::string Get(const std::string& path, const std::string& body) const {
        return RunShell("curl --silent --show-error --max-time 60 --dump-header - --output " +
                        ShellQuoted(body) + " http://127.0.0.1:" + std::to_string(m_Port) + path)
            .output;
    }

    [[nodiscard]] std::string Log() const { return ReadBytes(m_Base / "logs" / "catalina.out"); }

private:
    // Runs "catalina.sh run", which becomes the Java process, in a process
    // group of its own, its output in logs/catalina.out.
    int Spawn() {
        std::vector<std::string> settings = {
            "CATALINA_HOME=" + kCatalinaHome.string(), "CATALINA_BASE=" + m_Base.string(),
            // A connector that cannot bind ends Tomcat instead of leaving it deaf.
            "CATALINA_OPTS=-Dorg.apache.catalina.startup.EXIT_ON_INIT_FAILURE=true -Xmx256m"};
        std::vector<char*> environment;
        for (std::string& setting : settings) {
            environment.push_back(setting.data());
        }
        for (char** variable = environ; *variable != nullptr; ++variable) {
            const std::string_view name(*variable, std::strcspn(*variable, "="));
            if (name != "CATALINA_HOME" && name != "CATALINA_BASE" && name != "CATALINA_OPTS" &&
                name != "JAVA_OPTS" && name != "CATALINA_PID") {
                environment.push_back(*variable);
            }
        }
        environment.push_back(nullptr);
        const std::string script = (kCatalinaHome / "bin" / "catalina.sh").string();
        const std::string log = (m_Base / "logs" / "catalina.out").string();
        std::vector<char*> arguments = {const_cast<char*>(script.c_str()), const_cast<char*>("run"),
                                        nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, log.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
        posix_spawnattr_setpgroup(&attributes, 0);
        const int error = ::posix_spawn(&m_Pid, script.c_str(), &actions, &attributes,
                                        arguments.data(), environment.data());
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            m_Pid = -1;
        }
        return error;
    }

    std::filesystem::path m_Base;
    int m_Port = -1;
    pid_t m_Pid = -1;
};

// What JspWriter.println prints for a page: each of its lines ended by LF.
std::string PrintedLines(const std::string& page) {
    std::string printed;
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\r') {
            i += i + 1 < page.size() && page[i + 1] == '\n';
            printed += '\n';
        } else {
            printed += page[i];
        }
    }
    return printed.empty() || printed.back() == '\n' ? printed : printed + '\n';
}

using JspInTomcat = testing::CompanionRun;

TEST_F(JspInTomcat, EveryPageIsServedAsItsBytesInItsEncoding) {
    std::string everyByte;
    for (int value = 0; value < 256; ++value) {
        everyByte.push_back(static_cast<char>(value));
    }
    std::string windows1252Row = "<p>caf\xE9 ";
    for (int value = 0x80; value < 0xA0; ++value) {
        windows1252Row.push_back(static_cast<char>(value));
    }
    const std::string utf8 = "<p>caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC \xF0\x9F\x8E\x89</p>";
    // Distinct lines, as many as one Java method holds in the script's first
    // form, one more, and far more than one class's constants could hold;
    // there a long line's pieces straddle the end of a method.
    const auto lines = [](int count) {
        std::string page;
        for (int line = 0; line < count; ++line) {
            page += line == 12090 ? std::string(200'000, '%') + ">\r\n"
                                  : "<p id=\"" + std::to_string(line) + "\">\xC3\xA9 %></p>\r\n";
        }
        return page;
    };
    struct Page {
        std::string name;
        std::string bytes;
        std::string printed; // what the script must print
        std::string charset;
        bool inMethods = false; // its statements spread over methods
    };
    const std::vector<Page> pages = {
        {"ascii", ReadBytes(DataFile("worked_example.html")), {}, "UTF-8"},
        {"utf8", utf8 + "\r\n<q>\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x82\xAC</q>\r\n", {}, "UTF-8"},
        {"windows1252", windows1252Row + "</p>\r\n<p>\x93quoted\x94</p>\r\n", {}, "ISO-8859-1"},
        {"everybyte", everyByte + "\r\n" + everyByte, {}, "ISO-8859-1"},
        {"minified", testing::MinifiedLine(), {}, "UTF-8"},
        {"hostile", testing::Joined(testing::kHostileLines, "\r\n"), {}, "UTF-8"},
        {"utf16", testing::Utf16Page(utf8 + "\r\n\"$x\"\r\n", std::endian::little),
         "\xEF\xBB\xBF" + utf8 + "\n\"$x\"\n", "UTF-8"},
        {"lines8000", lines(8000), {}, "UTF-8"},
        {"lines8001", lines(8001), {}, "UTF-8", true},
        {"lines50000", lines(50000), {}, "UTF-8", true},
    };
    PrivateTomcat tomcat(folder / "tomcat");
    for (const Page& page : pages) {
        WriteBytes(folder / (page.name + ".html"), page.bytes);
        const std::string script = (tomcat.Webapp() / (page.name + ".jsp")).string();
        ASSERT_EQ(
            Convert("--to jsp -o " + ShellQuoted(script) + " " + page.name + ".html").exitCode, 0)
            << Errors();
        EXPECT_EQ(ReadBytes(script).find(TargetFormat::JSP.MethodOpener) != std::string::npos,
                  page.inMethods)
            << page.name;
    }
    ASSERT_TRUE(tomcat.Start());
    for (const Page& page : pages) {
        const std::string head = tomcat.Get("/" + page.name + ".jsp", folder / "body");
        EXPECT_TRUE(head.starts_with("HTTP/1.1 200")) << page.name << ":\n" << head;
        EXPECT_NE(head.find("\r\nContent-Type: text/html;charset=" + page.charset + "\r\n"),
                  std::string::npos)
            << page.name << ":\n"
            << head;
        const std::string expected = page.printed.empty() ? PrintedLines(page.bytes) : page.printed;
        const std::string served = ReadBytes(folder / "body");
        EXPECT_TRUE(served == expected)
            << page.name << ": " << FirstDifference(expected, served, "served");
    }
}

TEST_F(JspInTomcat, HandWrittenPagesReadBackAsTomcatServesThem) {
    // Each form the reader knows, literals only; a directive first where a
    // page needs UTF-8 for what its escapes name.
    const std::string utf8 = "<%@ page contentType=\"text/html;charset=UTF-8\" %>";
    const std::vector<std::pair<std::string, std::string>> pages = {
        {"template", "<p>a</p>\r\n<%-- out.print(\"no\"); --%>b<%@ page session=\"false\" %>\n"
                     "c <\\% d\\${e} <% %>f"},
        {"calls", "<%\nout.print(\"a\");\nout.println(\"b\" + \"c\");\nout.write(\"d\");\n"
                  "out.println();\nout . print ( 'e' ) ;\nif (true) { out.print(\"f\"); }\n%>"},
        {"expressions", "x<%= \"y\" %>z<%=\"q\" + 'r'%>"},
        {"escapes", utf8 + "<% out.print(\"\\n|\\t|\\b|\\r|\\f|\\\"|\\'|\\\\|\\101|\\7|"
                           "\\u0041|\\uuu00e9|\\u005cn|\\\\u0041|\\uD83C\\uDF89|%\\>\"); %>"},
        {"comments", "<%\n// out.print(\"no\");\n/* out.print(\"no\"); */\n"
                     "out.print(\"yes\"); // no\n%>"},
        {"bytes", utf8 + "<% out.print(\"caf\xC3\xA9 \xE6\x97\xA5\"); %>\xE2\x82\xAC"},
        {"latin1_character", "<%@ page contentType=\"text/html;charset=ISO-8859-1\" %>"
                             "<% out.print('\xE9'); out.print('\xE9' + \"\"); %>"},
    };
    PrivateTomcat tomcat(folder / "tomcat");
    for (const auto& [name, page] : pages) {
        WriteBytes((tomcat.Webapp() / (name + ".jsp")).string(), page);
    }
    ASSERT_TRUE(tomcat.Start());
    for (const auto& [name, page] : pages) {
        const std::string script = (tomcat.Webapp() / (name + ".jsp")).string();
        const auto read = Convert("--to html " + ShellQuoted(script));
        EXPECT_EQ(read.exitCode, 0) << name << ": " << Errors();
        const std::string head = tomcat.Get("/" + name + ".jsp", folder / "body");
        EXPECT_TRUE(head.starts_with("HTTP/1.1 200")) << name << ":\n" << head << tomcat.Log();
        const std::string served = ReadBytes(folder / "body");
        EXPECT_TRUE(read.output == served)
            << name << ": " << FirstDifference(served, read.output, "read back");
    }
}

} // namespace
} // namespace quillomatic
