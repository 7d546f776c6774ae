#include "support/ProgramFixture.h"

namespace quill::testing {

platform::HttpResponse FakeHttp::get(const std::string& url) {
    requested.push_back(url);
    if (onFetch) {
        onFetch(url);
    }
    auto it = bodies.find(url);
    if (it == bodies.end()) {
        return {};
    }
    return {it->second, "application/rss+xml"};
}

ProgramFixture::ProgramFixture() = default;

ProgramFixture::~ProgramFixture() = default;

void ProgramFixture::writeLinks(const std::vector<std::string>& lines) const {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    folder.write("links.ryx", text);
}

std::string ProgramFixture::serveFeed(const std::string& name,
                                      const std::vector<std::string>& itemTitles) {
    const std::string url = "http://feeds.test/" + name;
    std::string body = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>" + name +
                       "</title><link>" + url + "</link><description>About " + name +
                       "</description><image><url>" + url + "/logo.png</url><title>" + name +
                       "</title><link>" + url + "</link></image>";
    for (std::size_t i = 0; i < itemTitles.size(); ++i) {
        body += "<item><title>" + itemTitles[i] + "</title><link>" + url + "/" +
                std::to_string(i + 1) + "</link><description>About " + itemTitles[i] +
                "</description></item>";
    }
    body += "</channel></rss>";
    http.bodies[url] = body;
    return url;
}

ticker::Form1& ProgramFixture::start() {
    form1 = std::make_unique<ticker::Form1>(services);
    form1->Form_Load();
    return *form1;
}

std::vector<std::string> ProgramFixture::itemList() const {
    return form1->List1.items();
}

} // namespace quill::testing
