<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>VRNTIdent</name>
    <message>
        <source>MIRVA ProbeSuite</source>
        <translation>MIRVA ProbeSuite</translation>
    </message>
    <message>
        <source>System Testing Report Generator</source>
        <translation>Générateur de rapports de test système</translation>
    </message>
    <message>
        <source>6.1.0.0.2.4</source>
        <translation>6.1.0.0.2.4</translation>
    </message>
    <message>
        <source>Copyright (c) MIRVA ProbeSuite developers. All rights reserved.</source>
        <translation>Copyright (c) les développeurs de MIRVA ProbeSuite. Tous droits réservés.</translation>
    </message>
</context>
</TS>
