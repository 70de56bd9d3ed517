#include "net/HelloPolicy.h"

#include "net/OutgoingMessages.h"

std::string HelloPolicy::openingFor(bool lastDelivered) {
    judgeLastLink(lastDelivered);
    m_helloSent = !m_token.empty() && !m_helloUnknown && m_silentHelloLinks < kSilentHelloLinks;
    return m_helloSent ? helloMessage(m_token, m_name) : std::string();
}

void HelloPolicy::judgeLastLink(bool lastDelivered) {
    const bool previous = m_linkOpened;
    m_linkOpened = true;
    if (!previous || m_token.empty() || m_helloUnknown) {
        return;
    }
    if (m_helloSent) {
        m_silentHelloLinks = lastDelivered ? 0 : m_silentHelloLinks + 1;
    } else if (lastDelivered) {
        m_helloUnknown = true;  // the link without it worked where those with it did not
    } else {
        m_silentHelloLinks = 0;  // nothing works for now: the hello goes again
    }
}

ServerFeatures HelloPolicy::featuresOf(const stMsg& answer) {
    const bool ok = answer.status == "ok";
    ServerFeatures features;
    features.helloAnswered = true;
    features.records = ok && answer.records == 1;
    features.talk = ok && answer.talk == 1;
    features.privateDesks = ok && answer.private_desks == 1;
    features.watch = ok && answer.watch == 1;
    features.names = ok && answer.names == 1;
    return features;
}
