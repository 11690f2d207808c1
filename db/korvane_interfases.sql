-- Stores' interface database (korvane_interfases): the outbound tables the send fills and the
-- inbound table of the stores' movements. Batches are separated by GO lines.

CREATE TABLE dbo.IMPONOVARTI (
    ARTI char(10) NOT NULL,
    DESCRI char(50) NOT NULL,
    DTICKET char(20) NOT NULL,
    MARCA char(30) NOT NULL,
    CONTENIDO char(4) NOT NULL,
    UNIMED char(2) NOT NULL,
    UNIBUL char(6) NOT NULL,
    HABCPA char(1) NOT NULL,
    ENGANCHE char(10) NOT NULL,
    PROV char(13) NOT NULL,
    NPRO char(15) NOT NULL,
    PBASE numeric(18,3) NOT NULL,
    DTO1 numeric(10,3) NOT NULL,
    DTO2 numeric(10,3) NOT NULL,
    MARGEN numeric(10,3) NOT NULL,
    RECARGO1 numeric(10,3) NOT NULL,
    RECARGO2 numeric(10,3) NOT NULL,
    IMPINT numeric(10,7) NOT NULL,
    IVA char(1) NOT NULL,
    PVENTA numeric(18,3) NOT NULL,
    CLASIFICACION char(15) NOT NULL,
    FECACT char(8) NOT NULL,
    TIPOACT char(1) NOT NULL,
    TIPOACT_ORIG char(1) NOT NULL,
    OBSERV char(30) NOT NULL,
    PESABLE char(1) NOT NULL,
    ENVASE int NOT NULL,
    COD_CTACON1 char(20) NOT NULL,
    COD_CTACON2 char(20) NOT NULL,
    COD_CTACON1_IN char(6) NULL,
    COD_CTACON2_IN char(6) NULL,
    COD_SUC char(4) NOT NULL
)

CREATE TABLE dbo.IMPONOVBARRAS (
    COD_SUC char(4) NOT NULL,
    ARTI char(10) NOT NULL,
    CODBARR numeric(13,0) NOT NULL
)

CREATE TABLE dbo.IMPONOVBULTOS (
    COD_SUC char(4) NOT NULL,
    ARTI char(10) NOT NULL,
    BULTO char(6) NOT NULL,
    BULTOS00 numeric(14,0) NOT NULL
)

CREATE TABLE dbo.IMPONOVPROV (
    COD_SUC char(4) NOT NULL,
    ARTI char(10) NOT NULL,
    PROV char(13) NOT NULL,
    NPRO char(15) NOT NULL
)

CREATE TABLE dbo.IMPOPROV (
    COD_SUC char(4) NOT NULL,
    codigo char(13) NOT NULL,
    descri char(50) NULL,
    cuit char(11) NULL,
    condiva char(1) NULL,
    TIPOACT char(1) NOT NULL,
    TIPOACT_ORIG char(1) NOT NULL,
    OBSERV char(30) NOT NULL
)

CREATE TABLE dbo.OFERTAS (
    COD_SUC char(4) NOT NULL,
    COD_OFE int NOT NULL,
    DESCRI char(50) NOT NULL,
    MANUAL bit NOT NULL,
    FDESDE datetime NOT NULL,
    FHASTA datetime NOT NULL,
    ACTIVO bit NOT NULL,
    ARTI char(10) NOT NULL,
    PBASE numeric(18,3) NOT NULL,
    DTO1 numeric(18,3) NOT NULL,
    DTO2 numeric(18,3) NOT NULL,
    MARGEN numeric(18,3) NOT NULL,
    RECARGO1 numeric(18,3) NOT NULL,
    RECARGO2 numeric(18,3) NOT NULL,
    IMPINT numeric(18,3) NOT NULL,
    PVENTA numeric(18,3) NOT NULL,
    TIPOACT char(1) NOT NULL,
    TIPOACT_ORIG char(1) NOT NULL,
    OBSERV char(250) NOT NULL,
    PROV char(13) NULL
)

-- The stores' movements, read by the receive.
CREATE TABLE dbo.Depositos (
    Fecha datetime NOT NULL,
    cod_suc char(4) NOT NULL,
    TipoComp char(2) NOT NULL,
    PtoVta char(4) NOT NULL,
    Numero char(8) NOT NULL,
    Movimiento varchar(10) NULL,
    Articulo varchar(25) NOT NULL,
    Cantidad numeric(18,3) NOT NULL DEFAULT 0,
    venta numeric(18,3) NOT NULL DEFAULT 0,
    cod_depo char(4) NULL
)

-- The receive reads one date's rows in voucher order.
CREATE INDEX IX_Depositos_Fecha ON dbo.Depositos (Fecha, cod_suc, TipoComp, PtoVta, Numero)
GO
