<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Command line error</name>
    <message>
        <source>Initialization problem on command line</source>
        <comment>Error code is &quot;INITPBRLM&quot;</comment>
        <translation>Problème d'initialisation sur la ligne de commande</translation>
    </message>
</context>
<context>
    <name>File error</name>
    <message>
        <source>File %1 opening problem</source>
        <comment>Error code is &quot;FICERROPN&quot;</comment>
        <translation>Problème d'ouverture du fichier %1</translation>
    </message>
    <message>
        <source>File %1 access problem</source>
        <comment>Error code is &quot;FICNOTOPN&quot;</comment>
        <translation>Problème d'accès au fichier %1</translation>
    </message>
</context>
<context>
    <name>Information</name>
    <message>
        <source>%1</source>
        <comment>Error code is &quot;COPYRIGHT&quot;</comment>
        <translation>%1</translation>
    </message>
    <message>
        <source>End of execution without errors or warnings</source>
        <comment>Error code is &quot;ENDNOENWR&quot;</comment>
        <translation>Fin d'exécution sans erreur ni avertissement</translation>
    </message>
    <message>
        <source>End of execution with %1%2 warning(s)</source>
        <comment>Error code is &quot;ENDNOEWAR&quot;</comment>
        <translation>Fin d'exécution avec %1%2 avertissement(s)</translation>
    </message>
    <message>
        <source>Some scenarios are incorrect</source>
        <comment>Error code is &quot;MSGENDPOS&quot;</comment>
        <translation>Certains scénarios sont incorrects</translation>
    </message>
    <message>
        <source>%1%2</source>
        <comment>Error code is &quot;STARTEXEC&quot;</comment>
        <translation>%1%2</translation>
    </message>
    <message>
        <source>The RIO file %1 is in use by another run: waiting for it</source>
        <comment>Error code is &quot;RIOINUSED&quot;</comment>
        <translation>Le fichier RIO %1 est utilisé par une autre exécution : attente de celle-ci</translation>
    </message>
</context>
<context>
    <name>Postpro error</name>
    <message>
        <source>Reports comes from different test plans</source>
        <comment>Error code is &quot;FILESDIFF&quot;</comment>
        <translation>Les rapports proviennent de plans de test différents</translation>
    </message>
    <message>
        <source>Generating report from %1 file</source>
        <comment>Error code is &quot;MERGEPOST&quot;</comment>
        <translation>Génération du rapport à partir du fichier %1</translation>
    </message>
    <message>
        <source>This %1 RIO file match two or more TDC files</source>
        <comment>Error code is &quot;MULTITDCS&quot;</comment>
        <translation>Le fichier RIO %1 correspond à plusieurs fichiers TDC</translation>
    </message>
    <message>
        <source>At least one RIO file should be on the command line</source>
        <comment>Error code is &quot;NEEDRIOFI&quot;</comment>
        <translation>Au moins un fichier RIO doit figurer sur la ligne de commande</translation>
    </message>
    <message>
        <source>At least one TDC file should be on the command line</source>
        <comment>Error code is &quot;NEEDTDCFI&quot;</comment>
        <translation>Au moins un fichier TDC doit figurer sur la ligne de commande</translation>
    </message>
    <message>
        <source>No RIO file match this %1 TDC file</source>
        <comment>Error code is &quot;NORIOFTDC&quot;</comment>
        <translation>Aucun fichier RIO ne correspond au fichier TDC %1</translation>
    </message>
    <message>
        <source>The %1 file is not an RIO file</source>
        <comment>Error code is &quot;NORIOTDCF&quot;</comment>
        <translation>Le fichier %1 n'est pas un fichier RIO</translation>
    </message>
    <message>
        <source>No TDC file match this %1 RIO file</source>
        <comment>Error code is &quot;NOTDCFRIO&quot;</comment>
        <translation>Aucun fichier TDC ne correspond au fichier RIO %1</translation>
    </message>
    <message>
        <source>The generation of some ROD report has failed. No RDD report generated</source>
        <comment>Error code is &quot;POSTFAILD&quot;</comment>
        <translation>La génération d'un rapport ROD a échoué. Aucun rapport RDD n'a été généré</translation>
    </message>
    <message>
        <source>Too many RIO and/or TDC files on the command line</source>
        <comment>Error code is &quot;TOOMANYFI&quot;</comment>
        <translation>Trop de fichiers RIO et/ou TDC sur la ligne de commande</translation>
    </message>
    <message>
        <source>The %1 file is not a TDC file neither a RIO one</source>
        <comment>Error code is &quot;UNKMIRVAF&quot;</comment>
        <translation>Le fichier %1 n'est ni un fichier TDC ni un fichier RIO</translation>
    </message>
    <message>
        <source>The name %1 makes a path or command longer than %2 characters</source>
        <comment>Error code is &quot;NAMTOOLNG&quot;</comment>
        <translation>Le nom %1 rend un chemin ou une commande plus long que %2 caractères</translation>
    </message>
    <message>
        <source>The RIO files %1 and %2 would write the same ROD report</source>
        <comment>Error code is &quot;SAMERODFI&quot;</comment>
        <translation>Les fichiers RIO %1 et %2 écriraient le même rapport ROD</translation>
    </message>
    <message>
        <source>The report %1 would be written over the file %2</source>
        <comment>Error code is &quot;OVERWRITE&quot;</comment>
        <translation>Le rapport %1 serait écrit par-dessus le fichier %2</translation>
    </message>
    <message>
        <source>The name %1 holds a line feed</source>
        <comment>Error code is &quot;NAMNEWLIN&quot;</comment>
        <translation>Le nom %1 contient un saut de ligne</translation>
    </message>
    <message>
        <source>A time of line %2 of the ROD report %1 leaves the range -2147483648 to 2147483647 on the common time base</source>
        <comment>Error code is &quot;TIMERANGE&quot;</comment>
        <translation>Un temps de la ligne %2 du rapport ROD %1 sort de l'intervalle -2147483648 à 2147483647 sur la base de temps commune</translation>
    </message>
    <message>
        <source>The last dot of the RIO file name %1 lies in a folder name: its ROD report would be %2</source>
        <comment>Error code is &quot;RIODOTDIR&quot;</comment>
        <translation>Le dernier point du nom de fichier RIO %1 est dans un nom de dossier : son rapport ROD serait %2</translation>
    </message>
</context>
<context>
    <name>RIO/TDC analysis</name>
    <message>
        <source>Incorrect parameters</source>
        <comment>Error code is &quot;BADPARAMS&quot;</comment>
        <translation>Paramètres incorrects</translation>
    </message>
</context>
<context>
    <name>Syntax analysis</name>
    <message>
        <source>%1Unexpected end of file</source>
        <comment>Error code is &quot;UNEXPTEOF&quot;</comment>
        <translation>%1Fin de fichier inattendue</translation>
    </message>
</context>
<context>
    <name>TDC edition</name>
    <message>
        <source>Out of bound on output buffer. Contact your administrative.</source>
        <comment>Error code is &quot;SIZBUFOVL&quot;</comment>
        <translation>Dépassement du tampon de sortie. Contactez votre administrateur.</translation>
    </message>
</context>
<context>
    <name>Fatal error</name>
    <message>
        <source>FATAL ERROR on malloc,
 Please contact your administrative.
</source>
        <translation>ERREUR FATALE sur malloc,
 Veuillez contacter votre administrateur.
</translation>
    </message>
    <message>
        <source>FATAL ERROR on realloc,
 Please contact your administrative.
</source>
        <translation>ERREUR FATALE sur realloc,
 Veuillez contacter votre administrateur.
</translation>
    </message>
    <message>
        <source>FATAL ERROR on fclose,
 Please contact your administrative.
</source>
        <translation>ERREUR FATALE sur fclose,
 Veuillez contacter votre administrateur.
</translation>
    </message>
    <message>
        <source>FATAL ERROR on sprintf (%1),
 Please contact your administrative.
</source>
        <comment>%1 : the sprintf format</comment>
        <translation>ERREUR FATALE sur sprintf (%1),
 Veuillez contacter votre administrateur.
</translation>
    </message>
    <message>
        <source>Environment variable %1 is longer than %2 characters</source>
        <comment>Error code is &quot;ENVTOOLNG&quot;</comment>
        <translation>La variable d'environnement %1 dépasse %2 caractères</translation>
    </message>
</context>
</TS>
